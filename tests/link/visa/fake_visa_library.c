/* A stand-in VISA library for the loader's test: it exports the ten entry
 * points with their C signatures and records what it receives. */
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

static char lastCall[512];
static ViAttrState lastAttrValue;

const char *fakeVisaLastCall(void)
{
    return lastCall;
}
ViAttrState fakeVisaLastAttrValue(void)
{
    return lastAttrValue;
}

ViStatus viOpenDefaultRM(ViSession *vi)
{
    *vi = 7;
    snprintf(lastCall, sizeof lastCall, "viOpenDefaultRM");
    return 0;
}

ViStatus viFindRsrc(ViSession rm, const char *expr, ViSession *list, uint32_t *count, char *desc)
{
    snprintf(lastCall, sizeof lastCall, "viFindRsrc %u %s", rm, expr);
    *list = 8;
    *count = 1;
    strcpy(desc, "USB0::0x1AB1::0x0588::FAKE::INSTR");
    return 0;
}

ViStatus viFindNext(ViSession list, char *desc)
{
    snprintf(lastCall, sizeof lastCall, "viFindNext %u", list);
    desc[0] = '\0';
    return (ViStatus)0xBFFF0011u;
}

ViStatus viOpen(ViSession rm, const char *name, uint32_t mode, uint32_t timeout, ViSession *vi)
{
    snprintf(lastCall, sizeof lastCall, "viOpen %u %s %u %u", rm, name, mode, timeout);
    *vi = 9;
    return 0;
}

ViStatus viClose(ViSession vi)
{
    snprintf(lastCall, sizeof lastCall, "viClose %u", vi);
    return 0;
}

ViStatus viSetAttribute(ViSession vi, uint32_t attr, ViAttrState value)
{
    snprintf(lastCall, sizeof lastCall, "viSetAttribute %u 0x%08X", vi, attr);
    lastAttrValue = value;
    return 0;
}

ViStatus viFlush(ViSession vi, uint16_t mask)
{
    snprintf(lastCall, sizeof lastCall, "viFlush %u %u", vi, (unsigned)mask);
    return 0;
}

ViStatus viVPrintf(ViSession vi, const char *format, va_list args)
{
    char text[400];
    vsnprintf(text, sizeof text, format, args);
    snprintf(lastCall, sizeof lastCall, "viVPrintf %u %s", vi, text);
    return 0;
}

/* Understands only VISA's "%t" conversions; "%#t" takes a size that does
 * not count the NUL, as some libraries do. */
ViStatus viVScanf(ViSession vi, const char *format, va_list args)
{
    static const char reply[] = "FAKE,VX48250,0,1.0\n";
    size_t length = strlen(reply);
    int32_t *size = NULL;
    char *buffer;
    snprintf(lastCall, sizeof lastCall, "viVScanf %u %s", vi, format);
    if (strcmp(format, "%#t") == 0) {
        size = va_arg(args, int32_t *);
        if (*size < 0)
            return (ViStatus)0xBFFF003Fu; /* VI_ERROR_INV_FMT */
        if (length > (size_t)*size)
            length = (size_t)*size;
    } else if (strcmp(format, "%t") != 0) {
        char *end = NULL;
        unsigned long width = format[0] == '%' ? strtoul(format + 1, &end, 10) : 0;
        if (width == 0 || strcmp(end, "t") != 0)
            return (ViStatus)0xBFFF0041u; /* VI_ERROR_NSUP_FMT */
        if (length > width)
            length = width;
    }
    buffer = va_arg(args, char *);
    memcpy(buffer, reply, length);
    buffer[length] = '\0';
    if (size)
        *size = (int32_t)length;
    return 0;
}

ViStatus viRead(ViSession vi, unsigned char *buf, uint32_t count, uint32_t *retCount)
{
    snprintf(lastCall, sizeof lastCall, "viRead %u %u", vi, count);
    const uint32_t n = count < 4 ? count : 4;
    memcpy(buf, "#42\n", n);
    *retCount = n;
    return 0;
}
