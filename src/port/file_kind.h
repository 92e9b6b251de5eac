#pragma once

// Whether a name may be opened as the settings file: nothing has that name yet, or an
// ordinary file has. Anything else found there, a pipe or a device, could hold the open
// or the read up for ever, or swallow what is written as if it had been stored.
bool IsFileOrNothing(const char* name);
