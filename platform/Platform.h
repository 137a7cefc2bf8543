// Every area of the platform layer and their composite: for the layer's
// implementations and the tests; a program's file includes the areas it uses.
#pragma once

#include "platform/Registry.h"
#include "platform/Profile.h"
#include "platform/Folders.h"
#include "platform/Files.h"
#include "platform/Spooler.h"
#include "platform/Services.h"
#include "platform/System.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/Usb.h"
#include "platform/Windows.h"
