// The settings storage of the program: an INI file moved through the
// private-profile functions. A save goes to a temporary copy next to the file
// that replaces it in one move at the end, so that an interrupted save leaves
// either the old or the new file; a new file is created as UTF-16LE so that
// Japanese text survives.
#pragma once

#include <memory>
#include <string>

#include "settings/settings_storage.h"

namespace orbilux {

// Root sections of the whole record and of the printer group saved alone.
extern const wchar_t kSettingsRootSection[];     // "ORBILUXSettings"
extern const wchar_t kSettingsPrinterSection[];  // "ORBILUXSettings.printer_"

class CSettingsStorageIniFile : public CSettingsStorageProfile {
public:
    CSettingsStorageIniFile(const std::wstring& filePath, const std::wstring& section);
    ~CSettingsStorageIniFile() override;
    CSettingsStorageIniFile(const CSettingsStorageIniFile&) = delete;
    CSettingsStorageIniFile& operator=(const CSettingsStorageIniFile&) = delete;

    const std::wstring& FilePath() const { return filePath_; }
    // Where writes go while a save is open: FilePath() + ".tmp", or, while
    // another program holds that file open, FilePath() + ".1.tmp" to ".9.tmp".
    static std::wstring TempPathFor(const std::wstring& filePath);

    std::unique_ptr<CSettingsStorage> CreateSubStorage(const std::wstring& name) override;
    // Opens the temporary copy (unless a parent storage already has one open).
    bool BeginSave() override;
    // Moves the temporary copy over the file when this storage opened it.
    bool EndSave() override;
    // Shows the warning box (kDevModeFailureText).
    void ReportUnreadableDevMode() override;

protected:
    std::wstring ReadText(const std::wstring& key, const std::wstring& defaultText,
                          size_t bufferChars) override;
    bool WriteText(const std::wstring& key, const std::wstring& text) override;
    bool ReadStruct(const std::wstring& key, void* data, size_t size) override;
    bool WriteStruct(const std::wstring& key, const void* data, size_t size) override;

private:
    class SaveSession;

    const std::wstring& ActivePath() const;

    std::wstring filePath_;
    std::shared_ptr<SaveSession> session_;  // shared with the sub-storages of a save
    bool ownsSession_ = false;
    int saveDepth_ = 0;
};

}  // namespace orbilux
