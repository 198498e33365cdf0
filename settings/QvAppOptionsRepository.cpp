#include "QvAppOptionsRepository.h"

#include "QvIniValues.h"

#include <algorithm>
#include <stdexcept>

TQvAppOptionsRepository::TQvAppOptionsRepository()
    : FIniFile(std::make_unique<TQvIniFile>(DEFAULT_FILE_NAME)) {}

TQvAppOptionsRepository::~TQvAppOptionsRepository() {
    while (!FOptions.empty()) {
        TQvAppOption& last = *FOptions.back();
        const std::size_t count = FOptions.size();
        if (last.FOwner) {
            last.FOwner->Destroy(last); // its destructor detaches it from here
        }
        if (FOptions.size() == count) {
            Detach(last); // no owner: its holder keeps it, unregistered
        }
    }
}

void TQvAppOptionsRepository::SetFileName(const std::string& FileName) {
    FIniFile = std::make_unique<TQvIniFile>(FileName);
}

TQvAppOption& TQvAppOptionsRepository::AddAppOption(TQvAppOption& Option) {
    // An option is listed only where its link points; otherwise destroying it would leave a
    // dangling entry in the other list.
    if (Option.FRepository && Option.FRepository != this) {
        Option.FRepository->Detach(Option);
    }
    FOptions.push_back(&Option);
    Option.FRepository = this;
    return Option;
}

int TQvAppOptionsRepository::RemoveAppOption(TQvAppOption& Option) {
    const auto it = std::find(FOptions.begin(), FOptions.end(), &Option);
    if (it == FOptions.end()) {
        return -1;
    }
    const int index = static_cast<int>(it - FOptions.begin());
    FOptions.erase(it);
    // With a second entry left the option is still registered; clearing its link now would
    // leave that entry dangling once the option is destroyed.
    if (std::find(FOptions.begin(), FOptions.end(), &Option) == FOptions.end()) {
        Option.FRepository = nullptr;
    }
    return index;
}

void TQvAppOptionsRepository::Detach(TQvAppOption& Option) {
    std::erase(FOptions, &Option);
    Option.FRepository = nullptr;
}

template <class T, class... A>
T* TQvAppOptionsRepository::Create(TQvAppOptionOwner& Owner, const std::string& SectionName,
                                   const std::string& IdentName, const A&... Default) {
    T* const option = Owner.Adopt(std::make_unique<T>(SectionName, IdentName, Default...));
    AddAppOption(*option);
    return option;
}

TQvAppStrOption* TQvAppOptionsRepository::AddAppStrOption(TQvAppOptionOwner& Owner,
                                                          const std::string& SectionName,
                                                          const std::string& IdentName,
                                                          const std::string& Default) {
    return Create<TQvAppStrOption>(Owner, SectionName, IdentName, Default);
}

TQvAppIntOption* TQvAppOptionsRepository::AddAppIntOption(TQvAppOptionOwner& Owner,
                                                          const std::string& SectionName,
                                                          const std::string& IdentName,
                                                          std::int32_t Default) {
    return Create<TQvAppIntOption>(Owner, SectionName, IdentName, Default);
}

TQvAppColorOption* TQvAppOptionsRepository::AddAppColorOption(TQvAppOptionOwner& Owner,
                                                              const std::string& SectionName,
                                                              const std::string& IdentName,
                                                              TQvColor Default) {
    return Create<TQvAppColorOption>(Owner, SectionName, IdentName, Default);
}

TQvAppBoolOption* TQvAppOptionsRepository::AddAppBoolOption(TQvAppOptionOwner& Owner,
                                                            const std::string& SectionName,
                                                            const std::string& IdentName,
                                                            bool Default) {
    return Create<TQvAppBoolOption>(Owner, SectionName, IdentName, Default);
}

TQvAppDblOption* TQvAppOptionsRepository::AddAppDblOption(TQvAppOptionOwner& Owner,
                                                          const std::string& SectionName,
                                                          const std::string& IdentName,
                                                          double Default) {
    return Create<TQvAppDblOption>(Owner, SectionName, IdentName, Default);
}

TQvAppOption& TQvAppOptionsRepository::GetAppOptions(int Index) const {
    if (Index < 0 || Index >= GetAppOptionsCount()) {
        throw std::out_of_range("option index out of range: " + std::to_string(Index));
    }
    return *FOptions[static_cast<std::size_t>(Index)];
}

void TQvAppOptionsRepository::LoadOptions() {
    for (std::size_t i = 0; i < FOptions.size(); ++i) {
        FOptions[i]->Load();
    }
}

void TQvAppOptionsRepository::SaveOptions() {
    for (std::size_t i = 0; i < FOptions.size(); ++i) {
        FOptions[i]->Save();
    }
}

void TQvAppOptionsRepository::ReSaveDefaultOptions() {
    for (std::size_t i = 0; i < FOptions.size(); ++i) {
        FOptions[i]->ReSaveDefault();
    }
}

void TQvAppOptionsRepository::IniEraseSection(const std::string& SectionName) {
    FIniFile->EraseSection(SectionName);
}

void TQvAppOptionsRepository::IniWriteString(const std::string& SectionName,
                                             const std::string& IdentName,
                                             const std::string& Value) {
    FIniFile->WriteString(SectionName, IdentName, Value);
}

std::string TQvAppOptionsRepository::IniReadString(const std::string& SectionName,
                                                   const std::string& IdentName,
                                                   const std::string& Default) {
    return FIniFile->ReadString(SectionName, IdentName, Default);
}

void TQvAppOptionsRepository::IniWriteInt(const std::string& SectionName,
                                          const std::string& IdentName, std::int32_t Value) {
    IniWriteString(SectionName, IdentName, QvIniIntToText(Value));
}

std::int32_t TQvAppOptionsRepository::IniReadInt(const std::string& SectionName,
                                                 const std::string& IdentName,
                                                 std::int32_t Default) {
    return QvIniTextToInt(IniReadString(SectionName, IdentName, "")).value_or(Default);
}

void TQvAppOptionsRepository::IniWriteBool(const std::string& SectionName,
                                           const std::string& IdentName, bool Value) {
    IniWriteString(SectionName, IdentName, Value ? "1" : "0");
}

bool TQvAppOptionsRepository::IniReadBool(const std::string& SectionName,
                                          const std::string& IdentName, bool Default) {
    return IniReadInt(SectionName, IdentName, Default ? 1 : 0) != 0;
}

void TQvAppOptionsRepository::IniWriteDbl(const std::string& SectionName,
                                          const std::string& IdentName, double Value) {
    IniWriteString(SectionName, IdentName, QvIniDblToText(Value));
}

double TQvAppOptionsRepository::IniReadDbl(const std::string& SectionName,
                                           const std::string& IdentName, double Default) {
    return QvIniTextToDbl(IniReadString(SectionName, IdentName, "")).value_or(Default);
}
