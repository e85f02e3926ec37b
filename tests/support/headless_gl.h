// Tests use the platform's headless GL context.
#pragma once
#include "platform/headless_gl.h"
