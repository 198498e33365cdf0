// The application's settings store: one INI file and the options registered with it. Register
// options (through the Add...Option factories, AddAppOption or the option's
// SetAppOptionsRepository), then LoadOptions, SaveOptions or ReSaveDefaultOptions handle them
// all at once, first registered first. Every read and write goes to the file at the moment of
// the call; nothing is saved automatically. Ownership of the options: see QvAppOption.h.
//
// Reading never fails (a missing file, section or key, or a malformed value, gives the
// default). A write that cannot be done throws EQvIniFileError ("Unable to write to <path>");
// SaveOptions then stops, the options before the failing one staying written.
#pragma once

#include "QvAppOption.h"
#include "QvIniFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TQvAppOptionsRepository {
public:
    static constexpr const char* DEFAULT_FILE_NAME = "filename.ini";

    TQvAppOptionsRepository();
    TQvAppOptionsRepository(const TQvAppOptionsRepository&) = delete;
    TQvAppOptionsRepository& operator=(const TQvAppOptionsRepository&) = delete;
    // Destroys the owned options still registered, last registered first; unregisters the rest.
    virtual ~TQvAppOptionsRepository();

    // Binds the repository to another file; nothing is read or written, the options stay.
    void SetFileName(const std::string& FileName);
    const std::string& GetFileName() const { return FIniFile->FileName(); }
    const std::string& FileName() const { return GetFileName(); }

    // Kept for the options dialog's form; nothing reads it.
    bool BtnVisible() const { return FBtnVisible; }
    void SetBtnVisible(bool Value) { FBtnVisible = Value; }

    // Appends the option and links it here (an option registered elsewhere leaves that
    // repository first). Registering the same option twice lists it twice.
    TQvAppOption& AddAppOption(TQvAppOption& Option);
    // Removes the option's first entry and returns its index, or -1 when it is not listed. The
    // option's link is cleared once no entry of it is left.
    int RemoveAppOption(TQvAppOption& Option);

    // Create an option owned by Owner, register it here and return it.
    TQvAppStrOption* AddAppStrOption(TQvAppOptionOwner& Owner, const std::string& SectionName,
                                     const std::string& IdentName, const std::string& Default);
    TQvAppIntOption* AddAppIntOption(TQvAppOptionOwner& Owner, const std::string& SectionName,
                                     const std::string& IdentName, std::int32_t Default);
    TQvAppColorOption* AddAppColorOption(TQvAppOptionOwner& Owner, const std::string& SectionName,
                                         const std::string& IdentName, TQvColor Default);
    TQvAppBoolOption* AddAppBoolOption(TQvAppOptionOwner& Owner, const std::string& SectionName,
                                       const std::string& IdentName, bool Default);
    TQvAppDblOption* AddAppDblOption(TQvAppOptionOwner& Owner, const std::string& SectionName,
                                     const std::string& IdentName, double Default);

    // The option at a list position; std::out_of_range outside 0 .. count - 1.
    TQvAppOption& GetAppOptions(int Index) const;
    TQvAppOption& AppOptions(int Index) const { return GetAppOptions(Index); }
    int GetAppOptionsCount() const { return static_cast<int>(FOptions.size()); }
    int AppOptionsCount() const { return GetAppOptionsCount(); }

    // Each walks the list by index while the index is below the current count, so an option
    // registered during the walk is handled too.
    void LoadOptions();
    virtual void SaveOptions();
    virtual void ReSaveDefaultOptions();

    // Erases the section with all its keys; does nothing when the file has no such section.
    void IniEraseSection(const std::string& SectionName);

    virtual void IniWriteString(const std::string& SectionName, const std::string& IdentName,
                                const std::string& Value);
    virtual std::string IniReadString(const std::string& SectionName, const std::string& IdentName,
                                      const std::string& Default);
    virtual void IniWriteInt(const std::string& SectionName, const std::string& IdentName,
                             std::int32_t Value);
    virtual std::int32_t IniReadInt(const std::string& SectionName, const std::string& IdentName,
                                    std::int32_t Default);
    virtual void IniWriteBool(const std::string& SectionName, const std::string& IdentName,
                              bool Value);
    virtual bool IniReadBool(const std::string& SectionName, const std::string& IdentName,
                             bool Default);
    virtual void IniWriteDbl(const std::string& SectionName, const std::string& IdentName,
                             double Value);
    virtual double IniReadDbl(const std::string& SectionName, const std::string& IdentName,
                              double Default);

private:
    friend class TQvAppOption;

    bool FBtnVisible = false;
    std::unique_ptr<TQvIniFile> FIniFile;
    std::vector<TQvAppOption*> FOptions;

    // Removes every entry of the option and clears its link.
    void Detach(TQvAppOption& Option);
    template <class T, class... A>
    T* Create(TQvAppOptionOwner& Owner, const std::string& SectionName,
              const std::string& IdentName, const A&... Default);
};
