#pragma once
// The rig parameter bits: bit i (value 2^i) stands for one parameter or parameter value, as the
// rig server reports and accepts them.

#include <cstdint>

namespace OmniRig {

inline constexpr int32_t UNKNOWN = 0x00000001;
inline constexpr int32_t FREQ = 0x00000002;
inline constexpr int32_t FREQA = 0x00000004;
inline constexpr int32_t FREQB = 0x00000008;
inline constexpr int32_t PITCH = 0x00000010;
inline constexpr int32_t RITOFFSET = 0x00000020;
inline constexpr int32_t RIT0 = 0x00000040;
inline constexpr int32_t VFOAA = 0x00000080;
inline constexpr int32_t VFOAB = 0x00000100;
inline constexpr int32_t VFOBA = 0x00000200;
inline constexpr int32_t VFOBB = 0x00000400;
inline constexpr int32_t VFOA = 0x00000800;
inline constexpr int32_t VFOB = 0x00001000;
inline constexpr int32_t VFOEQUAL = 0x00002000;
inline constexpr int32_t VFOSWAP = 0x00004000;
inline constexpr int32_t SPLITON = 0x00008000;
inline constexpr int32_t SPLITOFF = 0x00010000;
inline constexpr int32_t RITON = 0x00020000;
inline constexpr int32_t RITOFF = 0x00040000;
inline constexpr int32_t XITON = 0x00080000;
inline constexpr int32_t XITOFF = 0x00100000;
inline constexpr int32_t RX = 0x00200000;
inline constexpr int32_t TX = 0x00400000;
inline constexpr int32_t CW = 0x00800000;
inline constexpr int32_t CW_R = 0x01000000;
inline constexpr int32_t USB = 0x02000000;
inline constexpr int32_t LSB = 0x04000000;
inline constexpr int32_t DIG = 0x08000000;
inline constexpr int32_t DIG_R = 0x10000000;
inline constexpr int32_t AM = 0x20000000;
inline constexpr int32_t FM = 0x40000000;

// A change of every parameter at once.
inline constexpr int32_t ALL_PARAMS = 0x7FFFFFFF;

// The status code of a rig that is on-line.
inline constexpr int32_t ST_ONLINE = 4;

}  // namespace OmniRig
