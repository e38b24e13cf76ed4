#include "Faults.h"

#include <sddl.h>

#include "tests/support/TestSupport.h"

namespace {

class HeldFile : public Fault {
public:
    explicit HeldFile(const std::wstring& path)
    {
        h_ = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_ALWAYS, 0, NULL);
        armed = h_ != INVALID_HANDLE_VALUE;
    }
    ~HeldFile() override
    {
        if (h_ != INVALID_HANDLE_VALUE)
            CloseHandle(h_);
    }

private:
    HANDLE h_;
};

class LockedKey : public Fault {
public:
    explicit LockedKey(const std::wstring& key)
    {
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, NULL, 0, WRITE_DAC | READ_CONTROL | KEY_WOW64_32KEY,
                            NULL, &h_, NULL) != ERROR_SUCCESS) {
            h_ = NULL;
            return;
        }
        DWORD size = 0;
        RegGetKeySecurity(h_, DACL_SECURITY_INFORMATION, NULL, &size);
        saved_.resize(size);
        if (size == 0 || RegGetKeySecurity(h_, DACL_SECURITY_INFORMATION, saved_.data(), &size) != ERROR_SUCCESS)
            saved_.clear();
        PSECURITY_DESCRIPTOR sd = NULL;
        armed = ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KR;;;WD)", SDDL_REVISION_1, &sd, NULL) &&
                RegSetKeySecurity(h_, DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS;
        if (sd)
            LocalFree(sd);
    }
    ~LockedKey() override
    {
        if (!h_)
            return;
        if (!saved_.empty()) {
            RegSetKeySecurity(h_, DACL_SECURITY_INFORMATION, saved_.data());
        } else {
            PSECURITY_DESCRIPTOR sd = NULL;
            if (ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KA;;;WD)", SDDL_REVISION_1, &sd, NULL)) {
                RegSetKeySecurity(h_, DACL_SECURITY_INFORMATION, sd);
                LocalFree(sd);
            }
        }
        RegCloseKey(h_);
    }

private:
    HKEY h_ = NULL;
    std::vector<BYTE> saved_;
};

}  // namespace

void MakeParents(const std::wstring& path)
{
    for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1))
        CreateDirectoryW(path.substr(0, at).c_str(), NULL);
}

std::unique_ptr<Fault> HoldFile(const std::wstring& path)
{
    MakeParents(path);
    return std::unique_ptr<Fault>(new HeldFile(path));
}

std::unique_ptr<Fault> FolderAt(const std::wstring& path)
{
    MakeParents(path);
    std::unique_ptr<Fault> f(new Fault);
    f->armed = CreateDirectoryW(path.c_str(), NULL) != 0;
    return f;
}

std::unique_ptr<Fault> FileAt(const std::wstring& path)
{
    MakeParents(path);
    std::unique_ptr<Fault> f(new Fault);
    f->armed = ts::WriteBytes(path, "in the way");
    return f;
}

std::unique_ptr<Fault> LockKey(const std::wstring& key) { return std::unique_ptr<Fault>(new LockedKey(key)); }
