#pragma once

// True when no other process runs a program of the same name; false also when the test
// cannot be made. The way it looks depends on the Windows version.
bool isOnlyInstance();
