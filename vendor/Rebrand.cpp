// rebrand <setup.exe> <out.exe> <id>=<file>...
//
// Writes a copy of setup.exe whose wizard images and icon are the vendor's: each
// <id>=<file.bmp> (ids 130-136, 142, 143) replaces that bitmap, 128=<file.ico> the
// icon group and its images. The copy is read back afterwards and must hold exactly
// the new data. Sizes and depths are checked by tools/make-medium before it calls
// this; here only the files' structure is checked. Exit code 0 on success, 1 with a
// message on standard error otherwise.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

const WORD kIconGroup = 128;
const WORD kBitmaps[] = {130, 131, 132, 133, 134, 135, 136, 142, 143};

void Fail(const wchar_t* what, const std::wstring& detail)
{
    fwprintf(stderr, L"rebrand: %ls%ls\n", what, detail.c_str());
}

bool ReadWholeFile(const std::wstring& path, Bytes* out)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD size = GetFileSize(h, nullptr);
    out->resize(size);
    DWORD got = 0;
    bool ok = size == INVALID_FILE_SIZE ? false : (size == 0 || ReadFile(h, out->data(), size, &got, nullptr)) && got == size;
    CloseHandle(h);
    return ok;
}

WORD Word(const Bytes& b, size_t at) { return static_cast<WORD>(b[at] | (b[at + 1] << 8)); }
DWORD Dword(const Bytes& b, size_t at) { return Word(b, at) | (static_cast<DWORD>(Word(b, at + 2)) << 16); }

// A bitmap resource is the .bmp file without its 14-byte file header, with the pixels
// right after the header and its masks or colour table: a file may leave a gap before
// its pixels (the file header's offset says where they start), a resource may not.
bool BitmapResource(const Bytes& file, Bytes* out)
{
    if (file.size() < 14 + 40 || file[0] != 'B' || file[1] != 'M')
        return false;
    const size_t pixels = Dword(file, 10), header = Dword(file, 14);
    const WORD bitCount = Word(file, 14 + 14);
    const DWORD compression = Dword(file, 14 + 16), colours = Dword(file, 14 + 32);
    size_t tables = static_cast<size_t>(colours) * 4;
    if (colours == 0 && bitCount <= 8)
        tables = (static_cast<size_t>(1) << bitCount) * 4;
    if (header == 40 && compression == 3 /* BI_BITFIELDS */)
        tables += 12;
    if (header < 40 || 14 + header + tables > pixels || pixels > file.size())
        return false;
    out->assign(file.begin() + 14, file.begin() + 14 + header + tables);
    out->insert(out->end(), file.begin() + pixels, file.end());
    return true;
}

struct IconImage {
    unsigned char header[12];  // width, height, colours, reserved, planes, bit count, bytes
    Bytes data;
};

// The images of an .ico file with their directory entries.
bool ParseIcoFile(const Bytes& file, std::vector<IconImage>* out)
{
    if (file.size() < 6 || Word(file, 0) != 0 || Word(file, 2) != 1 || Word(file, 4) == 0)
        return false;
    const size_t count = Word(file, 4);
    if (file.size() < 6 + 16 * count)
        return false;
    for (size_t i = 0; i < count; ++i) {
        const size_t entry = 6 + 16 * i;
        const DWORD bytes = Dword(file, entry + 8), offset = Dword(file, entry + 12);
        if (bytes == 0 || offset > file.size() || bytes > file.size() - offset)
            return false;
        IconImage image;
        memcpy(image.header, &file[entry], 12);
        image.data.assign(file.begin() + offset, file.begin() + offset + bytes);
        out->push_back(image);
    }
    return true;
}

struct LangSearch {
    WORD lang;
    bool found;
};

BOOL CALLBACK TakeFirstLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD lang, LONG_PTR param)
{
    LangSearch* s = reinterpret_cast<LangSearch*>(param);
    s->lang = lang;
    s->found = true;
    return FALSE;
}

// The language under which the module holds a resource: the new data takes its place.
bool ResourceLanguage(HMODULE module, LPCWSTR type, WORD id, WORD* lang)
{
    LangSearch s = {0, false};
    EnumResourceLanguagesW(module, type, MAKEINTRESOURCEW(id), TakeFirstLanguage, reinterpret_cast<LONG_PTR>(&s));
    *lang = s.lang;
    return s.found;
}

bool LoadResourceBytes(HMODULE module, LPCWSTR type, WORD id, WORD lang, Bytes* out)
{
    HRSRC r = FindResourceExW(module, type, MAKEINTRESOURCEW(id), lang);
    if (!r)
        return false;
    HGLOBAL g = LoadResource(module, r);
    const void* p = g ? LockResource(g) : nullptr;
    if (!p)
        return false;
    const unsigned char* c = static_cast<const unsigned char*>(p);
    out->assign(c, c + SizeofResource(module, r));
    return true;
}

BOOL CALLBACK CollectIconId(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<WORD>*>(param)->push_back(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

struct Replacement {
    LPCWSTR type;
    WORD id;
    WORD lang;
    Bytes data;
};

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        fwprintf(stderr, L"usage: rebrand <setup.exe> <out.exe> <id>=<file>...\n"
                         L"  ids 130-136, 142, 143: .bmp files; 128: an .ico file\n");
        return 2;
    }
    const std::wstring source = argv[1], target = argv[2];

    HMODULE module = LoadLibraryExW(source.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        Fail(L"cannot read the resources of ", source);
        return 1;
    }
    std::vector<Replacement> writes;
    std::vector<Replacement> deletes;
    bool ok = true;
    for (int i = 3; i < argc && ok; ++i) {
        std::wstring arg = argv[i];
        size_t eq = arg.find(L'=');
        const WORD id = eq == std::wstring::npos ? 0 : static_cast<WORD>(_wtoi(arg.substr(0, eq).c_str()));
        const std::wstring file = eq == std::wstring::npos ? L"" : arg.substr(eq + 1);
        Bytes bytes;
        bool known = id == kIconGroup;
        for (WORD b : kBitmaps)
            known = known || id == b;
        if (!known) {
            Fail(L"not an image of the wizard: ", arg);
            ok = false;
        } else if (!ReadWholeFile(file, &bytes)) {
            Fail(L"cannot read ", file);
            ok = false;
        } else if (id != kIconGroup) {
            Replacement r = {MAKEINTRESOURCEW(2) /* RT_BITMAP */, id, 0, {}};
            if (!ResourceLanguage(module, r.type, id, &r.lang)) {
                Fail(L"setup.exe holds no bitmap ", arg.substr(0, eq));
                ok = false;
            } else if (!BitmapResource(bytes, &r.data)) {
                Fail(L"not a .bmp file: ", file);
                ok = false;
            } else {
                writes.push_back(r);
            }
        } else {
            std::vector<IconImage> images;
            WORD lang = 0;
            Bytes oldGroup;
            if (!ParseIcoFile(bytes, &images)) {
                Fail(L"not an .ico file: ", file);
                ok = false;
            } else if (!ResourceLanguage(module, MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, id, &lang) ||
                       !LoadResourceBytes(module, MAKEINTRESOURCEW(14), id, lang, &oldGroup) || oldGroup.size() < 6) {
                Fail(L"setup.exe holds no icon group ", arg.substr(0, eq));
                ok = false;
            } else {
                // The old group's images go; the new ones take their ids first, then
                // ids above every icon image of the program.
                std::vector<WORD> oldIds, allIds;
                for (size_t e = 0; e < Word(oldGroup, 4) && 6 + 14 * (e + 1) <= oldGroup.size(); ++e)
                    oldIds.push_back(Word(oldGroup, 6 + 14 * e + 12));
                EnumResourceNamesW(module, MAKEINTRESOURCEW(3) /* RT_ICON */, CollectIconId,
                                   reinterpret_cast<LONG_PTR>(&allIds));
                WORD next = 1;
                for (WORD a : allIds)
                    if (a >= next)
                        next = static_cast<WORD>(a + 1);
                for (WORD old : oldIds) {
                    Replacement d = {MAKEINTRESOURCEW(3), old, lang, {}};
                    ResourceLanguage(module, d.type, old, &d.lang);
                    deletes.push_back(d);
                }
                Replacement group = {MAKEINTRESOURCEW(14), id, lang, {0, 0, 1, 0, 0, 0}};
                group.data[4] = static_cast<unsigned char>(images.size() & 0xFF);
                group.data[5] = static_cast<unsigned char>(images.size() >> 8);
                for (size_t n = 0; n < images.size(); ++n) {
                    const WORD imageId = n < oldIds.size() ? oldIds[n] : next++;
                    group.data.insert(group.data.end(), images[n].header, images[n].header + 12);
                    group.data.push_back(static_cast<unsigned char>(imageId & 0xFF));
                    group.data.push_back(static_cast<unsigned char>(imageId >> 8));
                    writes.push_back({MAKEINTRESOURCEW(3), imageId, lang, images[n].data});
                }
                writes.push_back(group);
            }
        }
    }
    FreeLibrary(module);
    if (!ok)
        return 1;

    if (!CopyFileW(source.c_str(), target.c_str(), FALSE)) {
        Fail(L"cannot write ", target);
        return 1;
    }
    HANDLE update = BeginUpdateResourceW(target.c_str(), FALSE);
    if (!update) {
        Fail(L"cannot update the resources of ", target);
        return 1;
    }
    for (const Replacement& d : deletes)
        ok = ok && UpdateResourceW(update, d.type, MAKEINTRESOURCEW(d.id), d.lang, nullptr, 0);
    for (const Replacement& w : writes)
        ok = ok && UpdateResourceW(update, w.type, MAKEINTRESOURCEW(w.id), w.lang,
                                   const_cast<unsigned char*>(w.data.data()), static_cast<DWORD>(w.data.size()));
    if (!EndUpdateResourceW(update, !ok) || !ok) {
        Fail(L"the resources could not be written into ", target);
        DeleteFileW(target.c_str());
        return 1;
    }

    // The copy must hold exactly the new images, in the languages setup.exe loads.
    module = LoadLibraryExW(target.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    for (const Replacement& w : writes) {
        Bytes back;
        if (!module || !LoadResourceBytes(module, w.type, w.id, w.lang, &back) || back != w.data) {
            Fail(L"the written program does not hold the new resource ", std::to_wstring(w.id));
            ok = false;
            break;
        }
    }
    if (module)
        FreeLibrary(module);
    if (!ok) {
        DeleteFileW(target.c_str());
        return 1;
    }
    return 0;
}
