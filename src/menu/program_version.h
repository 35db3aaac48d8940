#pragma once

// The program's own version; menu scripts compare it and captions show it.
inline constexpr const char* programVersion = "1.81";
