#include "dlprognose.h"
