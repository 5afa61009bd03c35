// The isotope table: the nuclear constants of every Moessbauer isotope the program
// knows and, per isotope, the calibration models of its velocity standards. Loaded once
// at start-up from "isotope.txt"; models keep plain pointers to its records.
#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "core/text/kwfile.h"

// One calibration model of an isotope's standard.
struct CalibrationVariant {
    std::wstring standard;        // id of the calibration standard
    std::uint32_t line_count = 0; // lines found in the spectrum it applies to; 0: one or two
    double distance = 0.0;        // known distance of the reference lines (mm/s), 0 unknown
    std::wstring model_name;      // catalogue model to fit
    std::wstring param_text;      // parameter part of a component line: starting values
};

struct Isotope {
    std::wstring name;  // display name
    std::vector<CalibrationVariant> variants;
    double Γτ = 0.0;    // natural line width (mm/s)
    double Eγ = 0.0;    // gamma energy (keV)
    double g_gr = 0.0;  // g-factor of the ground state (nuclear magnetons per unit spin)
    double g_ex = 0.0;  // g-factor of the excited state
    // Derived: the sextet's outer-line factor (mm/s per kOe), the energy per velocity
    // ((1/s)/(mm/s)), the nuclear magneton in mm/s per kOe, and the relative positions of
    // the second and third line pairs.
    double K = 0.0;
    double L = 0.0;
    double KN = 0.0;
    double α = 0.0;
    double β = 0.0;

    // Fills the record from the keys "<id>.Γτ", "<id>.Eγ", "<id>.g_gr", "<id>.g_ex",
    // "<id>.name" and the calibration keys "<id>.cm...". Throws std::runtime_error.
    void load(const KeywordList& list, const std::wstring& id);
};

class IsotopeTable {
public:
    // Appends the isotopes of the keyword file at `path`, in the order of its
    // "Isotopes" key. Throws std::runtime_error; records loaded before the error stay.
    void load(const std::wstring& path);

    unsigned count() const;
    // Throws std::out_of_range "Isotope index out of range".
    const Isotope& at(unsigned index) const;
    // The first record whose display name equals `name` exactly, else nullptr.
    const Isotope* find(const std::wstring& name) const;

private:
    std::list<Isotope> isotopes_;  // list nodes never move: record pointers stay valid
};

// The process-wide table.
IsotopeTable& isotope_table();
