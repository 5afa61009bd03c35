// Model data of the types with numeric settings: a few integers, such as the samples
// per modulation period or the number of spin states, that a component keeps in its own
// keyword list. The list travels in the component line (one-line form after
// "extradata="), is edited in the property editor and is described by its first value.
// One implementation serves every key set: a table of keys with their values for a new
// component, their values when a loaded text lacks them, and the range their working
// values are clamped into (the list keeps the text as it was read or typed).
//
// The working values are defined from construction (the new-component values), so a
// component that never receives set_defaults or load_extra, such as a clone or one read
// from a component line without extra data, still evaluates sensibly. Evaluations read
// them from any thread; they change only in the user-interface thread while no
// evaluation runs.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>

#include "core/text/kwfile.h"
#include "subspec/subspec.h"

struct ModelDataKey {
    const wchar_t* key;
    int initial;  // set_defaults value
    int missing;  // written by load_extra when the text lacks the key
    int lowest;   // range of the working value
    int highest;
};

class KeywordModelData : public ISubSpecData, public ISubSpecProperties, public ISubSpecDesc {
public:
    // Sets every key to its new-component value; ignores the folder; always true.
    bool set_defaults(const std::wstring& folder) override;
    // Appends the entries of the one-line text, adds the missing keys and reads every
    // key. Throws the list's integer-format error when a value has no digits; the data
    // and working values are then unchanged.
    bool load_extra(const std::wstring& text) override;
    std::wstring save_extra() const override;
    // Opens the property editor on a copy of the list. Only when the user confirms and
    // every key reads as an integer do the list and the working values change (true);
    // a value without digits throws the integer-format error and changes nothing.
    bool edit_properties() override;
    // The first working value as "%d".
    std::wstring description() const override;

    const KeywordList& model_data() const { return data_; }

protected:
    explicit KeywordModelData(std::span<const ModelDataKey> keys);
    ~KeywordModelData() = default;
    // The working value of key k of the table.
    int setting(std::size_t k) const { return values_[k]; }

private:
    using Values = std::array<int, 3>;
    // The clamped values of every key in `list`; false when a key is absent.
    bool read(const KeywordList& list, Values& values) const;

    std::span<const ModelDataKey> keys_;
    KeywordList data_;
    Values values_{};
};

// "Points": samples per modulation period. The spiral, density-wave and NMR models.
class PointsData : public KeywordModelData {
public:
    PointsData();
    int points() const { return setting(0); }
};

// "Points", "DPoints" (points of the profile graph and bins of the field histogram) and
// "HPoints" (phases counted into the histogram) of the two anharmonic sextet models.
class AnharmonicData : public KeywordModelData {
public:
    // The anisotropic model starts a new component with 500 graph points instead of 200.
    enum class Variant { isotropic, anisotropic };
    explicit AnharmonicData(Variant variant);
    int points() const { return setting(0); }
    int dpoints() const { return setting(1); }
    int hpoints() const { return setting(2); }
};

// "Points" and "HPoints" of the anharmonic Hamiltonian model.
class AnharmonicHamiltonData : public KeywordModelData {
public:
    AnharmonicHamiltonData();
    int points() const { return setting(0); }
    int hpoints() const { return setting(1); }
};

// "Levels (2S+1)": the number of spin states of the many-state relaxation models, 101
// for a new component and wherever a text lacks the key.
class LevelsData : public KeywordModelData {
public:
    LevelsData();
    int levels() const { return setting(0); }
};
