// Entries in the "Persisted" list of the Program Compatibility Assistant, so
// that Windows raises no compatibility prompt after the programs changed drivers.
#pragma once

#include "platform/Windows.h"


// Marks the running program for the current user.
void MarkCompatibilityPersisted(plat::Windows& windows);
// Marks the running program for every user hive named in the Protected
// Storage provider's per-user list.
void MarkCompatibilityPersistedAllUsers(plat::Windows& windows);
