#include "link/visa/LoadedVisa.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <utility>

namespace arb::visa
{

namespace
{

void *OpenLibrary(const std::string &name)
{
#if defined(_WIN32)
    return reinterpret_cast<void *>(LoadLibraryA(name.c_str()));
#else
    return dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
}

void CloseLibrary(void *handle)
{
#if defined(_WIN32)
    FreeLibrary(reinterpret_cast<HMODULE>(handle));
#else
    dlclose(handle);
#endif
}

void *Symbol(void *handle, const char *name)
{
#if defined(_WIN32)
    return reinterpret_cast<void *>(GetProcAddress(reinterpret_cast<HMODULE>(handle), name));
#else
    return dlsym(handle, name);
#endif
}

template <typename Fn> bool Bind(void *handle, const char *name, Fn &fn)
{
    void *address = Symbol(handle, name);
    // Object and function pointers have the same size on every platform
    // with a dynamic loader.
    static_assert(sizeof(void *) == sizeof(Fn));
    fn = reinterpret_cast<Fn>(address);
    return address != nullptr;
}

bool BindAll(void *handle, LoadedVisa::Entries &e)
{
    bool ok = Bind(handle, "viOpenDefaultRM", e.openDefaultRM);
    ok = Bind(handle, "viFindRsrc", e.findRsrc) && ok;
    ok = Bind(handle, "viFindNext", e.findNext) && ok;
    ok = Bind(handle, "viOpen", e.open) && ok;
    ok = Bind(handle, "viClose", e.close) && ok;
    ok = Bind(handle, "viSetAttribute", e.setAttribute) && ok;
    ok = Bind(handle, "viFlush", e.flush) && ok;
    ok = Bind(handle, "viVPrintf", e.vPrintf) && ok;
    ok = Bind(handle, "viVScanf", e.vScanf) && ok;
    ok = Bind(handle, "viRead", e.read) && ok;
    return ok;
}

} // namespace

std::vector<std::string> LoadedVisa::DefaultLibraryNames()
{
#if defined(_WIN32)
#if defined(_WIN64)
    return {"visa64.dll", "visa32.dll"};
#else
    return {"visa32.dll"};
#endif
#else
    // The names the vendors' libraries are installed under. Every name
    // that is not there costs a search of the loader's whole path, so
    // versions are not guessed.
    return {"libvisa.so.0", "libvisa.so", "libiovisa.so", "librsvisa.so"};
#endif
}

std::unique_ptr<LoadedVisa> LoadedVisa::Load(const std::vector<std::string> &names)
{
    for (const std::string &name : names) {
        void *handle = OpenLibrary(name);
        if (!handle)
            continue;
        Entries entries{};
        if (BindAll(handle, entries))
            return std::unique_ptr<LoadedVisa>(new LoadedVisa(handle, name, entries));
        CloseLibrary(handle);
    }
    return nullptr;
}

LoadedVisa::LoadedVisa(void *handle, std::string name, const Entries &entries)
    : handle_(handle), name_(std::move(name)), f_(entries)
{
}

LoadedVisa::~LoadedVisa()
{
    CloseLibrary(handle_);
}

ViStatus LoadedVisa::viOpenDefaultRM(ViPSession vi)
{
    return f_.openDefaultRM(vi);
}

ViStatus LoadedVisa::viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt,
                                ViChar desc[])
{
    return f_.findRsrc(sesn, expr, vi, retCnt, desc);
}

ViStatus LoadedVisa::viFindNext(ViFindList vi, ViChar desc[])
{
    return f_.findNext(vi, desc);
}

ViStatus LoadedVisa::viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                            ViPSession vi)
{
    return f_.open(sesn, name, mode, timeout, vi);
}

ViStatus LoadedVisa::viClose(ViObject vi)
{
    return f_.close(vi);
}

ViStatus LoadedVisa::viSetAttribute(ViObject vi, ViAttr attrName, ViAttrState attrValue)
{
    return f_.setAttribute(vi, attrName, attrValue);
}

ViStatus LoadedVisa::viFlush(ViSession vi, ViUInt16 mask)
{
    return f_.flush(vi, mask);
}

ViStatus LoadedVisa::viVPrintf(ViSession vi, ViConstString writeFmt, ViVAList params)
{
    return f_.vPrintf(vi, writeFmt, params);
}

ViStatus LoadedVisa::viVScanf(ViSession vi, ViConstString readFmt, ViVAList params)
{
    return f_.vScanf(vi, readFmt, params);
}

ViStatus LoadedVisa::viRead(ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPUInt32 retCnt)
{
    return f_.read(vi, buf, cnt, retCnt);
}

} // namespace arb::visa
