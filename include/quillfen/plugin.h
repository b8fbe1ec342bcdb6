/* Quillfen script plug-in binary interface.
 *
 * Plain structs, usable from C and C++. Field order and widths are fixed; pointers
 * are native. Built for 32-bit x86 (-m32) the offsets are
 * those plug-ins built for 32-bit Windows rely on (a 72-byte variant with its text pointer at 60, a
 * 160-byte Variable record with the value at 72, the host block's table address at
 * 136 and count address at 140); on x86-64 the same declarations give the natural
 * 64-bit layout (80-byte variant, 176-byte Variable, 192-byte host block).
 *
 * The engine's own value type (qf::variant) is this very layout with methods; a
 * plug-in works on qf_variant objects with its own copy of the variant operations.
 *
 * Allocator: text blocks of a variant that outgrew its inline storage are taken
 * from the C library: allocated with malloc and released with free, on both sides
 * of the interface (one process-wide allocator). A block made by a plug-in may be
 * freed by the engine and the other way round; the registration variant that
 * "dllInitA" fills is released by the engine. A variant whose m_nSize is 0 keeps
 * its text inline (m_pText points at its own m_szInline).
 *
 * A plug-in is a shared library exporting, by these names and with C linkage:
 *   int dllInitA(qf_HostBlock* host, qf_variant* registration)   once, after loading
 *   int dllClose(void)                                            once, at shutdown
 *   int <command function>(qf_variant* argsList)                  each registered word
 * "dllInitA" appends to the registration text pairs of pieces, each followed by
 * ",": the script word (with its "#") and the name of the exported function,
 * e.g. "#funcUser1,dllFuncUser1,". Return values are ignored. The argument list is
 * eight integer-0 values; a command reads the script's state through the block.
 */
#ifndef QUILLFEN_PLUGIN_H
#define QUILLFEN_PLUGIN_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Calling convention of the functions the engine calls in a plug-in: the Win32
 * standard convention on 32-bit x86, the platform's own convention elsewhere. */
#if defined(__i386__) && (defined(__GNUC__) || defined(__clang__))
#define QF_PLUGIN_CALL __attribute__((stdcall))
#elif defined(_M_IX86)
#define QF_PLUGIN_CALL __stdcall
#else
#define QF_PLUGIN_CALL
#endif

#if defined(_WIN32)
#define QF_PLUGIN_EXPORT __declspec(dllexport)
#else
#define QF_PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

/* Inline text storage of a variant: at most 47 bytes plus the terminating zero. */
#define QF_VARIANT_INLINE 48

/* Kind bits of a variant. */
#define QF_KIND_STRING 1
#define QF_KIND_NUMBER 2
#define QF_KIND_REAL 4
#define QF_KIND_INTEGER 2 /* QF_KIND_NUMBER */
#define QF_KIND_REALNUM 6 /* QF_KIND_NUMBER | QF_KIND_REAL */

struct qf_variant;

/* What the dispatch-table pointer (the virtual destructor) points at:
 * a table whose one entry releases the value's text block. */
typedef struct qf_variant_dispatch {
    void (*destroy)(struct qf_variant* self);
} qf_variant_dispatch;

/* The one value of the script language */
typedef struct qf_variant {
    const qf_variant_dispatch* m_pDispatch; /* dispatch-table pointer                      32-bit offset 0 */
    double m_dValue;                        /* the number (kind 2 or 6)                    4 */
    char m_szInline[QF_VARIANT_INLINE];     /* inline text                                 12 */
    char* m_pText;                          /* the text: m_szInline or a heap block        60 */
    int32_t m_nSize;                        /* 0 inline; else the heap block's size        64 */
    int32_t m_nKind;                        /* 1 string, 2 integer, 6 real                 68 */
} qf_variant;

/* One record of the variable table */
typedef struct qf_Variable {
    qf_variant m_name;      /* 0   */
    qf_variant m_value;     /* 72  */
    int32_t m_nKind;        /* 144: 1 string, 2 integer, 6 real; 0 unused record */
    int32_t m_nLower;       /* 148 */
    int32_t m_nUpper;       /* 152 */
    int32_t m_nLimitMode;   /* 156: 0 none, 1 clamp, 2 wrap */
} qf_Variable;

#define QF_VARIABLE_COUNT 1536

/* The block of eight evaluated arguments of a command */
typedef struct qf_ArgsList {
    qf_variant m_arg[8];
} qf_ArgsList;

/* The frame timers: slot 0 the tick of the frame (ms), slot 1 the frame count,
 * slots 2..7 count down once per frame; script timer k is slot k + 1. */
#define QF_TIMER_COUNT 8

/* One input device (a pad of twelve buttons: up, down, left, right, A, B, SEL,
 * ST, X, Y, L1, R1). The four per-frame states are 0 or 1 per button. */
#define QF_INPUT_DEVICE_COUNT 4
#define QF_PAD_BUTTONS 12
typedef struct qf_InputDevice {
    int32_t m_nPress[QF_PAD_BUTTONS];        /* press pulse with key repeat (_keypad) */
    int32_t m_nHeld[QF_PAD_BUTTONS];         /* held (_keypadSt) */
    int32_t m_nRepeat[QF_PAD_BUTTONS];       /* repeat pulse (_keypadSg) */
    int32_t m_nFirst[QF_PAD_BUTTONS];        /* first-press pulse (_keypadOs) */
    int32_t m_nKey[QF_PAD_BUTTONS];          /* virtual-key code of each button */
    int32_t m_nPreviousHeld[QF_PAD_BUTTONS]; /* held state of the previous frame */
    int32_t m_nRepeatDelay;                  /* ms before the first repeat */
    int32_t m_nRepeatInterval;               /* ms between repeats */
    int32_t m_nRepeatState;                  /* 0 idle, 1 waiting, 2 repeating */
    int32_t m_nElapsed;                      /* ms in the repeat state */
    uint32_t m_nLastTick;                    /* tick of the previous poll */
    int32_t m_nJoystick;                     /* joystick device, or -1 */
} qf_InputDevice;

/* One sprite record (328 of them; records 0..255 are the script's sprites). */
#define QF_SPRITE_COUNT 328
typedef struct qf_Sprite {
    int32_t m_nView;                  /* > 0 drawn, 0 hidden, -1 deleted */
    int32_t m_nDrawKind;              /* what the last step drew: 0 normal .. 6 mosaic */
    int32_t m_nPic;                   /* picture slot */
    int32_t m_nSrcX, m_nSrcY;
    int32_t m_nW, m_nH;
    float m_fX, m_fY;                 /* position */
    int32_t m_nCenterX, m_nCenterY;
    int32_t m_nAlpha;
    int32_t m_nR, m_nG, m_nB;
    int32_t m_nBlend;
    int32_t m_nMask;
    int32_t m_nVecX, m_nVecY;
    int32_t m_nVecFrames;
    int32_t m_nBlink;
    int32_t m_nFlash;
    int32_t m_nFlashCycle;
    int32_t m_nGoalX, m_nGoalY;
    int32_t m_nGoalFrames;
    int32_t m_nGoalCount;
    double m_dGoalStepX, m_dGoalStepY;
    int32_t m_nFadeOn;
    int32_t m_nFadeStep;
    int32_t m_nFadeLevel;
    int32_t m_nFadeExtra;
    int32_t m_nFadeR, m_nFadeG, m_nFadeB;
    int32_t m_nLightLevel;
    int32_t m_nLightDir;
    int32_t m_nLightTick;
    int32_t m_nTransitRule;
    int32_t m_nTransitLevel, m_nTransitStep;
    int32_t m_nMosaicSize;
    int32_t m_nMosaicStep;
    int32_t m_nMosaicLevel;
    int32_t m_nAnimeFrames;
    int32_t m_nAnimeState;            /* 0 none, 1 running, > 1 frozen */
    int32_t m_nAnimeCountdown;
    int32_t m_nAnimeCurrent;
    int32_t m_nPeriod;
    int32_t m_nAnimeLoop;
    int32_t m_nAnimePause;
    struct qf_Sprite** m_ppAnime;     /* the frame records of a running animation */
} qf_Sprite;

/* Host interface block, filled once by the engine and passed to every plug-in.
 * The addresses stay valid for the life of the program; read the count through
 * its address each time (scripts create variables as they run). */
typedef struct qf_HostBlock {
    void* m_hInstance;              /* 0   the program's instance handle (null: none here) */
    void* m_hWnd;                   /* 4   the main window handle (null: none here) */
    uint8_t m_reserved[128];        /* 8   zero */
    qf_Variable* m_pVariables;      /* 136 first of the 1536 Variable records */
    int32_t* m_pVariableCount;      /* 140 the count of variables in use */
    uint32_t* m_pTimers;            /* 144 the QF_TIMER_COUNT frame timers */
    qf_InputDevice* m_pInputDevices; /* 148 the QF_INPUT_DEVICE_COUNT input devices */
    qf_Sprite* m_pSprites;          /* 152 the QF_SPRITE_COUNT sprite records */
    void* m_reserved2;              /* 156 zero */
} qf_HostBlock;

/* Entry points a plug-in exports. A qf_variant passed or returned by value
 * (Tovlet's "dllFuncV" sample) keeps an inline text in its own storage: the
 * receiver points m_pText back at its m_szInline when m_nSize is 0. */
typedef int(QF_PLUGIN_CALL* qf_dllInitA_fn)(qf_HostBlock* host, qf_variant* registration); /* "dllInitA" */
typedef int (*qf_dllClose_fn)(void);                                                       /* "dllClose" */
typedef int(QF_PLUGIN_CALL* qf_command_fn)(qf_variant* argsList);                          /* each command */

/* The engine's message box, for plug-ins: Shift-JIS texts, a null caption means
 * "dialog". The engine program exports it under this name; a plug-in looks it up
 * in the process (dlsym(RTLD_DEFAULT, QF_MESSAGE_BOX_SYMBOL)) so that it also
 * loads into programs that do not provide it. */
typedef void (*qf_messageBox_fn)(const char* text, const char* caption);
#define QF_MESSAGE_BOX_SYMBOL "qf_messageBox"

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* QUILLFEN_PLUGIN_H */
