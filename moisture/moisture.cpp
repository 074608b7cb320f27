#include "moisture.h"
