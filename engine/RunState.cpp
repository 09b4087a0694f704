#include "RunState.h"

RunState runState = {0, 0.0};

volatile std::sig_atomic_t stopRequest = 0;
