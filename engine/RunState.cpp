#include "RunState.h"

RunState runState = {0, 0.0};
