#include "app/app_state.h"
