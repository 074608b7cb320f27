#include "keypad.h"
