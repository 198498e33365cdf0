#include "QvAppOption.h"

#include "QvAppOptionsRepository.h"

#include <algorithm>

template class TQvAppValueOption<std::string>;
template class TQvAppValueOption<std::int32_t>;
template class TQvAppValueOption<bool>;
template class TQvAppValueOption<double>;

TQvAppOption::TQvAppOption(std::string SectionName, std::string IdentName)
    : FSectionName(std::move(SectionName)), FIdentName(std::move(IdentName)) {}

TQvAppOption::~TQvAppOption() {
    if (FRepository) {
        FRepository->Detach(*this);
    }
}

void TQvAppOption::SetSectionName(const std::string& Value) {
    if (Value != FSectionName) {
        FSectionName = Value;
    }
}

void TQvAppOption::SetIdentName(const std::string& Value) {
    if (Value != FIdentName) {
        FIdentName = Value;
    }
}

void TQvAppOption::SetAppOptionsRepository(TQvAppOptionsRepository* Repository) {
    if (Repository == FRepository) {
        return;
    }
    if (FRepository) {
        FRepository->RemoveAppOption(*this);
    }
    if (Repository) {
        Repository->AddAppOption(*this);
    }
}

void TQvAppOption::IniWriteString(const std::string& Value) {
    if (FRepository) {
        FRepository->IniWriteString(FSectionName, FIdentName, Value);
    }
}

std::string TQvAppOption::IniReadString(const std::string& Default) {
    return FRepository ? FRepository->IniReadString(FSectionName, FIdentName, Default) : Default;
}

void TQvAppOption::IniWriteInt(std::int32_t Value) {
    if (FRepository) {
        FRepository->IniWriteInt(FSectionName, FIdentName, Value);
    }
}

std::int32_t TQvAppOption::IniReadInt(std::int32_t Default) {
    return FRepository ? FRepository->IniReadInt(FSectionName, FIdentName, Default) : Default;
}

void TQvAppOption::IniWriteBool(bool Value) {
    if (FRepository) {
        FRepository->IniWriteBool(FSectionName, FIdentName, Value);
    }
}

bool TQvAppOption::IniReadBool(bool Default) {
    return FRepository ? FRepository->IniReadBool(FSectionName, FIdentName, Default) : Default;
}

void TQvAppOption::IniWriteDbl(double Value) {
    if (FRepository) {
        FRepository->IniWriteDbl(FSectionName, FIdentName, Value);
    }
}

double TQvAppOption::IniReadDbl(double Default) {
    return FRepository ? FRepository->IniReadDbl(FSectionName, FIdentName, Default) : Default;
}

TQvAppOptionOwner::~TQvAppOptionOwner() {
    while (!FOptions.empty()) {
        std::unique_ptr<TQvAppOption> last = std::move(FOptions.back());
        FOptions.pop_back();
    } // each option leaves its repository in its destructor
}

void TQvAppOptionOwner::AdoptOption(std::unique_ptr<TQvAppOption> Option) {
    if (Option) {
        Option->FOwner = this;
        FOptions.push_back(std::move(Option));
    }
}

void TQvAppOptionOwner::Destroy(TQvAppOption& Option) {
    const auto it = std::find_if(FOptions.begin(), FOptions.end(),
                                 [&](const auto& Owned) { return Owned.get() == &Option; });
    if (it != FOptions.end()) {
        // Out of the list before the destructor runs, so nothing can reach it half destroyed.
        std::unique_ptr<TQvAppOption> doomed = std::move(*it);
        FOptions.erase(it);
    }
}
