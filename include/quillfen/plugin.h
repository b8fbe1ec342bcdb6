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
 * Text blocks of a variant that outgrew its inline storage are allocated with the C
 * library's malloc and released with free, on both sides of the interface (one
 * process-wide allocator), so a block made by a plug-in may be freed by the engine
 * and the other way round.
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

/* Host interface block, filled once by the engine and passed to every plug-in. */
typedef struct qf_HostBlock {
    void* m_hInstance;              /* 0   the program's instance handle */
    void* m_hWnd;                   /* 4   the main window handle */
    uint8_t m_reserved[128];        /* 8   zero */
    qf_Variable* m_pVariables;      /* 136 first of the 1536 Variable records */
    int32_t* m_pVariableCount;      /* 140 the count of variables in use */
    int32_t* m_pTimers;             /* 144 the 8 frame timers */
    void* m_pInputDevices;          /* 148 the 4 input device records */
    void* m_pSprites;               /* 152 the 328 sprite records */
    void* m_reserved2;              /* 156 zero */
} qf_HostBlock;

/* Entry points a plug-in exports. */
typedef int(QF_PLUGIN_CALL* qf_dllInitA_fn)(qf_HostBlock* host, qf_variant* registration); /* "dllInitA" */
typedef int (*qf_dllClose_fn)(void);                                                       /* "dllClose" */
typedef int(QF_PLUGIN_CALL* qf_command_fn)(qf_variant* argsList);                          /* each command */

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* QUILLFEN_PLUGIN_H */
