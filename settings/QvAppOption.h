// Typed application options, each bound to a section and key of the INI file of the repository
// it is registered with (QvAppOptionsRepository.h). An option holds its current and its default
// value in memory; it touches the file only in Save, Load and ReSaveDefault, and only while it
// is registered.
//
// Ownership. An option belongs to the one who holds its std::unique_ptr: usually a
// TQvAppOptionOwner, into which the repository's factories (AddAppIntOption and friends) place
// the options they create. The repository only refers to its options. An option being destroyed
// leaves its repository first; a repository being destroyed destroys the owned options still
// registered with it, last registered first, through their owner, and unregisters those that
// have no owner (their holder keeps them). Neither order of destruction leaves a dangling
// reference between the two.
//
// How an owner such as a window holds its options: a TQvAppOptionOwner member, and plain
// pointers to the options, which it uses and never deletes:
//
//     class TframeCh : public QFrame {
//         TQvAppOptionOwner FOptionOwner;         // destroys the panel's options with the panel
//         TQvAppColorOption* optOnColor = nullptr;
//     };
//     optOnColor = Rep.AddAppColorOption(FOptionOwner, "ChA", "OnColor",
//                                        QvColorFromRGB(255, 192, 192));
//
// The pointers stay valid as long as the owner lives, unless the repository is destroyed first;
// the program destroys its repository last.
#pragma once

#include "QvColor.h"

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

class TQvAppOptionsRepository;
class TQvAppOptionOwner;

class TQvAppOption {
public:
    TQvAppOption(const TQvAppOption&) = delete;
    TQvAppOption& operator=(const TQvAppOption&) = delete;
    virtual ~TQvAppOption();

    const std::string& SectionName() const { return FSectionName; }
    void SetSectionName(const std::string& Value);
    const std::string& IdentName() const { return FIdentName; }
    void SetIdentName(const std::string& Value);

    // The repository the option is registered with, or nullptr.
    TQvAppOptionsRepository* AppOptionsRepository() const { return FRepository; }
    // Leaves the current repository (if any) and joins the given one (if any); nothing happens
    // when it is the current one.
    void SetAppOptionsRepository(TQvAppOptionsRepository* Repository);

    // The owner that destroys the option, or nullptr when its holder is someone else.
    TQvAppOptionOwner* Owner() const { return FOwner; }

    // The repository's INI operations under this option's section and key. Without a repository
    // the writes do nothing and the reads return the default.
    virtual void IniWriteString(const std::string& Value);
    virtual std::string IniReadString(const std::string& Default);
    virtual void IniWriteInt(std::int32_t Value);
    virtual std::int32_t IniReadInt(std::int32_t Default);
    virtual void IniWriteBool(bool Value);
    virtual bool IniReadBool(bool Default);
    virtual void IniWriteDbl(double Value);
    virtual double IniReadDbl(double Default);

    // While registered: write the value to the file / read it back (a missing or malformed key
    // gives the default value). Unregistered: nothing happens.
    virtual void Save() = 0;
    virtual void Load() = 0;
    // Sets the value to the default value, then Save: the value is reset even when unregistered.
    virtual void ReSaveDefault() = 0;

protected:
    TQvAppOption(std::string SectionName, std::string IdentName);

private:
    friend class TQvAppOptionsRepository;
    friend class TQvAppOptionOwner;

    std::string FSectionName;
    std::string FIdentName;
    TQvAppOptionsRepository* FRepository = nullptr;
    TQvAppOptionOwner* FOwner = nullptr;
};

// The value and default cells and the load/save rules, written once for every value type. The
// value type selects the INI operation: string, 32-bit integer, Boolean or double.
template <class T> class TQvAppValueOption : public TQvAppOption {
public:
    virtual void SetValue(const T& Value) { FValue = Value; }
    virtual T GetValue() const { return FValue; }
    virtual void SetDefValue(const T& Value) { FDefValue = Value; }
    virtual T GetDefValue() const { return FDefValue; }
    T Value() const { return GetValue(); }
    T DefValue() const { return GetDefValue(); }

    void Save() override {
        if (AppOptionsRepository()) {
            Write(GetValue());
        }
    }
    void Load() override {
        if (AppOptionsRepository()) {
            SetValue(Read(GetDefValue()));
        }
    }
    void ReSaveDefault() override {
        SetValue(GetDefValue());
        Save();
    }

protected:
    TQvAppValueOption(std::string SectionName, std::string IdentName, const T& Default)
        : TQvAppOption(std::move(SectionName), std::move(IdentName)), FValue(Default),
          FDefValue(Default) {}

private:
    T FValue;
    T FDefValue;

    void Write(const T& Value) {
        if constexpr (std::is_same_v<T, std::string>) {
            IniWriteString(Value);
        } else if constexpr (std::is_same_v<T, bool>) {
            IniWriteBool(Value);
        } else if constexpr (std::is_same_v<T, double>) {
            IniWriteDbl(Value);
        } else {
            static_assert(std::is_same_v<T, std::int32_t>);
            IniWriteInt(Value);
        }
    }
    T Read(const T& Default) {
        if constexpr (std::is_same_v<T, std::string>) {
            return IniReadString(Default);
        } else if constexpr (std::is_same_v<T, bool>) {
            return IniReadBool(Default);
        } else if constexpr (std::is_same_v<T, double>) {
            return IniReadDbl(Default);
        } else {
            return IniReadInt(Default);
        }
    }
};

extern template class TQvAppValueOption<std::string>;
extern template class TQvAppValueOption<std::int32_t>;
extern template class TQvAppValueOption<bool>;
extern template class TQvAppValueOption<double>;

// Text, stored as it is.
class TQvAppStrOption : public TQvAppValueOption<std::string> {
public:
    TQvAppStrOption(std::string SectionName, std::string IdentName, const std::string& Default)
        : TQvAppValueOption(std::move(SectionName), std::move(IdentName), Default) {}
};

// A 32-bit signed integer, stored as decimal text; decimal or "$"/"0x" hexadecimal text reads.
class TQvAppIntOption : public TQvAppValueOption<std::int32_t> {
public:
    TQvAppIntOption(std::string SectionName, std::string IdentName, std::int32_t Default)
        : TQvAppValueOption(std::move(SectionName), std::move(IdentName), Default) {}
};

// A colour: an integer option seen through TQvColor. GetValue and friends stay the integer view
// (the one Save and Load use); Value, DefValue and the TQvColor setters are the colour view of
// the same cells.
class TQvAppColorOption : public TQvAppIntOption {
public:
    TQvAppColorOption(std::string SectionName, std::string IdentName, TQvColor Default)
        : TQvAppIntOption(std::move(SectionName), std::move(IdentName), QvColorToInt(Default)) {}

    using TQvAppIntOption::SetDefValue;
    using TQvAppIntOption::SetValue;
    TQvColor Value() const { return static_cast<TQvColor>(GetValue()); }
    void SetValue(TQvColor Color) { SetValue(QvColorToInt(Color)); }
    TQvColor DefValue() const { return static_cast<TQvColor>(GetDefValue()); }
    void SetDefValue(TQvColor Color) { SetDefValue(QvColorToInt(Color)); }
};

// A Boolean, stored as "1" or "0"; any non-zero integer reads as true.
class TQvAppBoolOption : public TQvAppValueOption<bool> {
public:
    TQvAppBoolOption(std::string SectionName, std::string IdentName, bool Default)
        : TQvAppValueOption(std::move(SectionName), std::move(IdentName), Default) {}
};

// A double, stored in the "%g" form with '.' whatever the locale (six significant digits).
class TQvAppDblOption : public TQvAppValueOption<double> {
public:
    TQvAppDblOption(std::string SectionName, std::string IdentName, double Default)
        : TQvAppValueOption(std::move(SectionName), std::move(IdentName), Default) {}
};

// Owns options and destroys them with itself, last adopted first. Options cannot outlive it, so
// it can be neither copied nor moved.
class TQvAppOptionOwner {
public:
    TQvAppOptionOwner() = default;
    TQvAppOptionOwner(const TQvAppOptionOwner&) = delete;
    TQvAppOptionOwner& operator=(const TQvAppOptionOwner&) = delete;
    ~TQvAppOptionOwner();

    // Takes the option over and returns it.
    template <class T> T* Adopt(std::unique_ptr<T> Option) {
        static_assert(std::is_base_of_v<TQvAppOption, T>);
        T* const raw = Option.get();
        AdoptOption(std::move(Option));
        return raw;
    }
    // Destroys one of the owned options now; an option it does not own is left alone.
    void Destroy(TQvAppOption& Option);

    int Count() const { return static_cast<int>(FOptions.size()); }

private:
    std::vector<std::unique_ptr<TQvAppOption>> FOptions;

    void AdoptOption(std::unique_ptr<TQvAppOption> Option);
};
