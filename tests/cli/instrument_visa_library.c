/* A VISA library of make-believe instruments for the command line's tests,
 * loaded by the program through ARB_VISA_LIBRARY. It exports the ten entry
 * points the program binds and is set up through the environment:
 *
 *   FAKE_VISA_INSTRUMENTS  "NAME=IDN;NAME=IDN;...": the resources a search
 *                          finds, in that order, each with the reply to
 *                          "*IDN?" (none when IDN is empty: the read times out)
 *   FAKE_VISA_CURVE        a file of 2500 bytes: a "CURVe?" is answered with
 *                          "#42500", those bytes and a line feed
 *   FAKE_VISA_VANISH_AFTER N: after N writes the instruments are gone (no
 *                          search finds them, no open succeeds)
 *   FAKE_VISA_LOG          a file that receives one line per open, flush and
 *                          write: "open NAME", "flush MASK", "write TEXT" with
 *                          LF as \n, "\" as \\ and other control bytes as \xHH
 */
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef int32_t ViStatus;
typedef uint32_t ViSession;
#if UINTPTR_MAX > 0xFFFFFFFFu
typedef uint64_t ViAttrState;
#else
typedef uint32_t ViAttrState;
#endif

#define VI_SUCCESS 0
#define VI_SUCCESS_MAX_CNT ((ViStatus)0x3FFF0006u)
#define VI_ERROR_INV_OBJECT ((ViStatus)0xBFFF000Eu)
#define VI_ERROR_RSRC_NFOUND ((ViStatus)0xBFFF0011u)
#define VI_ERROR_TMO ((ViStatus)0xBFFF0015u)
#define VI_ERROR_NSUP_FMT ((ViStatus)0xBFFF0041u)

enum { kMaxInstruments = 16, kMaxSessions = 256, kNameLength = 256, kReplyLength = 4096 };

struct Instrument {
    char name[kNameLength];
    char idn[kNameLength];
};

struct Session {
    int used;
    int instrument; /* -1 for a resource manager */
    unsigned char *pending;
    size_t pendingSize;
    size_t pendingAt;
};

static struct Instrument instruments[kMaxInstruments];
static int instrumentCount = -1;
static struct Session sessions[kMaxSessions];
static unsigned findAt;
static long writes;

static void SetUp(void)
{
    const char *list = getenv("FAKE_VISA_INSTRUMENTS");
    if (instrumentCount >= 0)
        return;
    instrumentCount = 0;
    while (list && *list && instrumentCount < kMaxInstruments) {
        const char *end = strchr(list, ';');
        const char *eq = strchr(list, '=');
        size_t length = end ? (size_t)(end - list) : strlen(list);
        struct Instrument *in = &instruments[instrumentCount++];
        if (!eq || eq > list + length)
            eq = list + length;
        snprintf(in->name, sizeof in->name, "%.*s", (int)(eq - list), list);
        if (eq < list + length)
            snprintf(in->idn, sizeof in->idn, "%.*s", (int)(list + length - eq - 1), eq + 1);
        list = end ? end + 1 : NULL;
    }
}

static int Vanished(void)
{
    const char *after = getenv("FAKE_VISA_VANISH_AFTER");
    return after && writes >= atol(after);
}

static void Log(const char *what, const char *text, size_t length)
{
    const char *path = getenv("FAKE_VISA_LOG");
    FILE *f = path ? fopen(path, "ab") : NULL;
    size_t i;
    if (!f)
        return;
    fprintf(f, "%s ", what);
    for (i = 0; i < length; ++i) {
        const unsigned char c = (unsigned char)text[i];
        if (c == '\n')
            fputs("\\n", f);
        else if (c == '\\')
            fputs("\\\\", f);
        else if (c < 0x20 || c == 0x7F)
            fprintf(f, "\\x%02X", c);
        else
            fputc(c, f);
    }
    fputc('\n', f);
    fclose(f);
}

static ViSession NewSession(int instrument)
{
    ViSession i;
    for (i = 1; i < kMaxSessions; ++i) {
        if (!sessions[i].used) {
            memset(&sessions[i], 0, sizeof sessions[i]);
            sessions[i].used = 1;
            sessions[i].instrument = instrument;
            return i;
        }
    }
    return 0;
}

static struct Session *Find(ViSession vi)
{
    return vi > 0 && vi < kMaxSessions && sessions[vi].used ? &sessions[vi] : NULL;
}

static void SetPending(struct Session *s, const unsigned char *bytes, size_t size)
{
    free(s->pending);
    s->pending = size ? malloc(size) : NULL;
    if (s->pending)
        memcpy(s->pending, bytes, size);
    s->pendingSize = s->pending ? size : 0;
    s->pendingAt = 0;
}

static void Answer(struct Session *s, const char *command, size_t length)
{
    if (s->instrument < 0)
        return;
    if (length == 6 && memcmp(command, "*IDN?\n", 6) == 0) {
        char reply[kNameLength + 2];
        const char *idn = instruments[s->instrument].idn;
        if (!*idn)
            return;
        snprintf(reply, sizeof reply, "%s\n", idn);
        SetPending(s, (const unsigned char *)reply, strlen(reply));
    } else if (length == 7 && memcmp(command, "CURVe?\n", 7) == 0) {
        unsigned char reply[2508];
        const char *path = getenv("FAKE_VISA_CURVE");
        FILE *f = path ? fopen(path, "rb") : NULL;
        size_t n = 0;
        memcpy(reply, "#42500", 6);
        if (f) {
            n = fread(reply + 6, 1, 2500, f);
            fclose(f);
        }
        if (n == 2500) {
            reply[2506] = '\n';
            SetPending(s, reply, 2507);
        }
    }
}

ViStatus viOpenDefaultRM(ViSession *vi)
{
    SetUp();
    *vi = NewSession(-1);
    return *vi ? VI_SUCCESS : VI_ERROR_INV_OBJECT;
}

ViStatus viFindRsrc(ViSession rm, const char *expr, ViSession *list, uint32_t *count, char *desc)
{
    (void)expr;
    if (!Find(rm))
        return VI_ERROR_INV_OBJECT;
    if (instrumentCount == 0 || Vanished())
        return VI_ERROR_RSRC_NFOUND;
    *list = NewSession(-1);
    *count = (uint32_t)instrumentCount;
    strcpy(desc, instruments[0].name);
    findAt = 1;
    return VI_SUCCESS;
}

ViStatus viFindNext(ViSession list, char *desc)
{
    (void)list;
    if (findAt >= (unsigned)instrumentCount) {
        desc[0] = '\0';
        return VI_ERROR_RSRC_NFOUND;
    }
    strcpy(desc, instruments[findAt++].name);
    return VI_SUCCESS;
}

ViStatus viOpen(ViSession rm, const char *name, uint32_t mode, uint32_t timeout, ViSession *vi)
{
    int i;
    (void)mode;
    (void)timeout;
    if (!Find(rm))
        return VI_ERROR_INV_OBJECT;
    Log("open", name, strlen(name));
    for (i = 0; i < instrumentCount && !Vanished(); ++i) {
        if (strcmp(instruments[i].name, name) == 0) {
            *vi = NewSession(i);
            return *vi ? VI_SUCCESS : VI_ERROR_INV_OBJECT;
        }
    }
    return VI_ERROR_RSRC_NFOUND;
}

ViStatus viClose(ViSession vi)
{
    struct Session *s = Find(vi);
    if (!s)
        return VI_ERROR_INV_OBJECT;
    SetPending(s, NULL, 0);
    s->used = 0;
    return VI_SUCCESS;
}

ViStatus viSetAttribute(ViSession vi, uint32_t attr, ViAttrState value)
{
    (void)attr;
    (void)value;
    return Find(vi) ? VI_SUCCESS : VI_ERROR_INV_OBJECT;
}

ViStatus viFlush(ViSession vi, uint16_t mask)
{
    char text[16];
    struct Session *s = Find(vi);
    snprintf(text, sizeof text, "%u", (unsigned)mask);
    Log("flush", text, strlen(text));
    if (!s)
        return VI_ERROR_INV_OBJECT;
    if (mask & 4)
        SetPending(s, NULL, 0);
    return VI_SUCCESS;
}

ViStatus viVPrintf(ViSession vi, const char *format, va_list args)
{
    struct Session *s = Find(vi);
    va_list copy;
    int length;
    char *text;
    va_copy(copy, args);
    length = vsnprintf(NULL, 0, format, copy);
    va_end(copy);
    if (length < 0)
        return VI_ERROR_NSUP_FMT;
    text = malloc((size_t)length + 1);
    if (!text)
        return VI_ERROR_NSUP_FMT;
    vsnprintf(text, (size_t)length + 1, format, args);
    Log("write", text, (size_t)length);
    ++writes;
    if (s && !Vanished())
        Answer(s, text, (size_t)length);
    free(text);
    return s ? VI_SUCCESS : VI_ERROR_INV_OBJECT;
}

/* Reads the pending reply up to and with its line feed, through VISA's "%t"
 * conversions: "%#t" takes the buffer's size (which here does not count the
 * NUL), "%Nt" a width. */
ViStatus viVScanf(ViSession vi, const char *format, va_list args)
{
    struct Session *s = Find(vi);
    int32_t *size = NULL;
    size_t length;
    size_t limit = kReplyLength;
    char *buffer;
    if (!s)
        return VI_ERROR_INV_OBJECT;
    if (strcmp(format, "%#t") == 0) {
        size = va_arg(args, int32_t *);
        limit = *size > 0 ? (size_t)*size : 0;
    } else if (strcmp(format, "%t") != 0) {
        char *end = NULL;
        unsigned long width = format[0] == '%' ? strtoul(format + 1, &end, 10) : 0;
        if (width == 0 || strcmp(end, "t") != 0)
            return VI_ERROR_NSUP_FMT;
        limit = width;
    }
    buffer = va_arg(args, char *);
    if (s->pendingAt >= s->pendingSize)
        return VI_ERROR_TMO;
    length = s->pendingSize - s->pendingAt;
    if (length > limit)
        length = limit;
    memcpy(buffer, s->pending + s->pendingAt, length);
    buffer[length] = '\0';
    s->pendingAt += length;
    if (size)
        *size = (int32_t)length;
    return VI_SUCCESS;
}

ViStatus viRead(ViSession vi, unsigned char *buf, uint32_t count, uint32_t *retCount)
{
    struct Session *s = Find(vi);
    size_t n;
    *retCount = 0;
    if (!s)
        return VI_ERROR_INV_OBJECT;
    if (s->pendingAt >= s->pendingSize)
        return VI_ERROR_TMO;
    n = s->pendingSize - s->pendingAt;
    if (n > count)
        n = count;
    memcpy(buf, s->pending + s->pendingAt, n);
    s->pendingAt += n;
    *retCount = (uint32_t)n;
    return s->pendingAt == s->pendingSize ? VI_SUCCESS : VI_SUCCESS_MAX_CNT;
}
