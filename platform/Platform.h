// Every area of the platform layer and their composite.
#pragma once

#include "platform/Windows.h"
