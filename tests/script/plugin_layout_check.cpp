/* Offsets of the plug-in binary interface. Compiled natively, for -m32 and as C;
 * also linked into the unit tests so the native checks run with every build. */
#include <quillfen/plugin.h>

#ifdef __cplusplus
#define QF_ASSERT(c, m) static_assert(c, m)
#else
#define QF_ASSERT(c, m) _Static_assert(c, m)
#endif

#if defined(__i386__)
QF_ASSERT(sizeof(qf_variant) == 72, "variant is 72 bytes");
QF_ASSERT(offsetof(qf_variant, m_pDispatch) == 0, "dispatch table at 0");
QF_ASSERT(offsetof(qf_variant, m_dValue) == 4, "number at 4");
QF_ASSERT(offsetof(qf_variant, m_szInline) == 12, "inline text at 12");
QF_ASSERT(offsetof(qf_variant, m_pText) == 60, "text pointer at 60");
QF_ASSERT(offsetof(qf_variant, m_nSize) == 64, "allocated size at 64");
QF_ASSERT(offsetof(qf_variant, m_nKind) == 68, "kind at 68");
QF_ASSERT(sizeof(qf_Variable) == 160, "Variable is 160 bytes");
QF_ASSERT(offsetof(qf_Variable, m_name) == 0, "name at 0");
QF_ASSERT(offsetof(qf_Variable, m_value) == 72, "value at 72");
QF_ASSERT(offsetof(qf_Variable, m_nKind) == 144, "kind at 144");
QF_ASSERT(offsetof(qf_Variable, m_nLower) == 148, "lower limit at 148");
QF_ASSERT(offsetof(qf_Variable, m_nUpper) == 152, "upper limit at 152");
QF_ASSERT(offsetof(qf_Variable, m_nLimitMode) == 156, "limit mode at 156");
QF_ASSERT(sizeof(qf_HostBlock) == 160, "host block is 160 bytes");
QF_ASSERT(offsetof(qf_HostBlock, m_hWnd) == 4, "window at 4");
QF_ASSERT(offsetof(qf_HostBlock, m_reserved) == 8, "reserved at 8");
QF_ASSERT(offsetof(qf_HostBlock, m_pVariables) == 136, "table address at 136");
QF_ASSERT(offsetof(qf_HostBlock, m_pVariableCount) == 140, "count address at 140");
QF_ASSERT(offsetof(qf_HostBlock, m_pTimers) == 144, "timers at 144");
QF_ASSERT(offsetof(qf_HostBlock, m_pInputDevices) == 148, "input devices at 148");
QF_ASSERT(offsetof(qf_HostBlock, m_pSprites) == 152, "sprites at 152");
QF_ASSERT(sizeof(qf_ArgsList) == 8 * 72, "ArgsList is eight variants");
QF_ASSERT(sizeof(qf_Sprite) == 220, "sprite record is 220 bytes");
QF_ASSERT(offsetof(qf_Sprite, m_fX) == 28, "sprite position at 28");
QF_ASSERT(offsetof(qf_Sprite, m_dGoalStepX) == 108, "sprite goal step at 108");
QF_ASSERT(offsetof(qf_Sprite, m_nFadeOn) == 124, "sprite fade at 124");
QF_ASSERT(offsetof(qf_Sprite, m_ppAnime) == 216, "sprite animation list at 216");
QF_ASSERT(sizeof(qf_HostBlock*) == 4, "native pointers are 32-bit");
#elif defined(__x86_64__)
QF_ASSERT(sizeof(qf_Sprite) == 232, "sprite record is 232 bytes");
QF_ASSERT(offsetof(qf_Sprite, m_dGoalStepX) == 112, "sprite goal step at 112");
QF_ASSERT(offsetof(qf_Sprite, m_nFadeOn) == 128, "sprite fade at 128");
QF_ASSERT(offsetof(qf_Sprite, m_ppAnime) == 224, "sprite animation list at 224");
#endif

/* Records of the same width in both layouts. */
QF_ASSERT(sizeof(qf_InputDevice) == 312, "input device is 312 bytes");
QF_ASSERT(offsetof(qf_InputDevice, m_nHeld) == 48, "held states at 48");
QF_ASSERT(offsetof(qf_InputDevice, m_nKey) == 192, "keys at 192");
QF_ASSERT(offsetof(qf_InputDevice, m_nRepeatDelay) == 288, "repeat delay at 288");
QF_ASSERT(offsetof(qf_InputDevice, m_nJoystick) == 308, "joystick at 308");

#if defined(__x86_64__)
QF_ASSERT(sizeof(qf_variant) == 80, "variant is 80 bytes");
QF_ASSERT(offsetof(qf_variant, m_dValue) == 8, "number at 8");
QF_ASSERT(offsetof(qf_variant, m_szInline) == 16, "inline text at 16");
QF_ASSERT(offsetof(qf_variant, m_pText) == 64, "text pointer at 64");
QF_ASSERT(offsetof(qf_variant, m_nSize) == 72, "allocated size at 72");
QF_ASSERT(offsetof(qf_variant, m_nKind) == 76, "kind at 76");
QF_ASSERT(sizeof(qf_Variable) == 176, "Variable is 176 bytes");
QF_ASSERT(offsetof(qf_Variable, m_value) == 80, "value at 80");
QF_ASSERT(offsetof(qf_Variable, m_nKind) == 160, "kind at 160");
QF_ASSERT(offsetof(qf_Variable, m_nLimitMode) == 172, "limit mode at 172");
QF_ASSERT(sizeof(qf_HostBlock) == 192, "host block is 192 bytes");
QF_ASSERT(offsetof(qf_HostBlock, m_pVariables) == 144, "table address at 144");
QF_ASSERT(offsetof(qf_HostBlock, m_pVariableCount) == 152, "count address at 152");
QF_ASSERT(offsetof(qf_HostBlock, m_pSprites) == 176, "sprites at 176");
#endif
