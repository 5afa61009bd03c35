// Builds the example spectra and models that the program carries: each spectrum is
// simulated with Poisson noise by the program's own models with the constants of
// data/isotope.txt, and each model is the matching model with plausible starting values
// (not the values that made the spectrum), as a user would set it up before a fit.
// Titles and comments keep to characters that every plot and menu font has.
// Writes core/text/example_items_data.cpp (the items enciphered) and, with --plain DIR,
// the keyword texts as .spc and .mdl files to look at.
//
//   make_examples <source folder> [--plain DIR]
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "core/document/model_file.h"
#include "core/document/model_state.h"
#include "core/model/spectrum_operations.h"
#include "core/spectrum/isotope.h"
#include "core/spectrum/poisson.h"
#include "core/text/example_items.h"
#include "core/text/kwfile.h"
#include "core/text/text.h"
#include "lineshapes/doublets.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "subspec/baseline.h"
#include "catalogue/program_model_file_parts.h"
#include "catalogue/sub_spec_factory.h"

namespace fs = std::filesystem;

namespace {

// One component: its catalogue name, the values that make the spectrum and the
// values the example model starts from (an area in units of the simulating scale).
struct Component {
    const wchar_t* name;
    std::vector<double> truth;
    std::vector<double> start;
};

struct Example {
    const wchar_t* file;  // stem of the --plain files
    const wchar_t* spectrum_title;
    const wchar_t* spectrum_comment;
    const wchar_t* model_title;
    const wchar_t* model_comment;
    unsigned points;
    double velocity;  // the axis runs from −velocity to +velocity
    double level;     // counts far from resonance
    double scale;     // the model's (negative: absorption) scale
    std::vector<Component> components;
};

// A sextet with the powder ratios 3:2:1, equal widths and Lorentz lines:
// I, I₂/I₁, I₃/I₁, δ, ε, Hn, a₊, a₋, Γ₁, five width ratios, α.
std::vector<double> sextet(double area, double shift, double quadrupole, double field, double width)
{
    return {area, 2.0 / 3.0, 1.0 / 3.0, shift, quadrupole, field, 0, 0, width, 1, 1, 1, 1, 1, 0};
}

// A symmetric Lorentz doublet: I, I₂/I₁, δ, ε (half the splitting), Γ₁, Γ₂/Γ₁, α.
std::vector<double> doublet(double area, double shift, double half_splitting, double width)
{
    return {area, 1, shift, half_splitting, width, 1, 0};
}

const wchar_t* const sextet_name = PseudoVoigtSextet::catalogue_name;
const wchar_t* const doublet_name = PseudoVoigtDoublet::catalogue_name;

std::vector<Example> examples()
{
    return {
        {L"alpha-iron", L"α-Fe calibration", L"α-Fe foil, 25 µm, 295 K; 57Co(Rh) source",
         L"α-Fe calibration sextet", L"One sextet of metallic iron: δ = 0, Hn = 330 kOe", 512, 10.0, 5.0e5, -1.1e5,
         {{L"", {}, {}},
          {sextet_name, sextet(1.0, 0.0, 0.0, 330.0, 0.25), sextet(0.8, 0.05, 0.02, 325.0, 0.30)}}},
        {L"nitroprusside", L"Sodium nitroprusside", L"Na2[Fe(CN)5NO]·2H2O, 295 K; shifts relative to α-Fe",
         L"Sodium nitroprusside doublet", L"One quadrupole doublet: δ = −0.257 mm/s, ΔEQ = 1.706 mm/s", 512, 4.0,
         3.0e5, -6.0e4,
         {{L"", {}, {}}, {doublet_name, doublet(1.0, -0.257, 0.853, 0.24), doublet(0.8, -0.2, 0.8, 0.3)}}},
        {L"magnetite", L"Magnetite Fe3O4", L"Fe3O4 powder, 295 K: tetrahedral A and octahedral B sites",
         L"Magnetite, two sextets", L"Sextets of the A site (Fe3+) and the B site (Fe2.5+)", 512, 12.0, 8.0e5,
         -2.0e5,
         {{L"", {}, {}},
          {sextet_name, sextet(0.36, 0.27, -0.01, 491.0, 0.30), sextet(0.4, 0.3, 0.0, 485.0, 0.35)},
          {sextet_name, sextet(0.64, 0.66, 0.0, 460.0, 0.40), sextet(0.5, 0.6, 0.0, 450.0, 0.35)}}},
        {L"hematite-doublet", L"Hematite with a paramagnetic phase",
         L"α-Fe2O3 with superparamagnetic Fe3+ oxide particles, 295 K", L"Sextet and doublet",
         L"Hematite sextet (Hn = 515 kOe) and an Fe3+ doublet", 512, 12.0, 6.0e5, -1.5e5,
         {{L"", {}, {}},
          {sextet_name, sextet(0.7, 0.37, -0.10, 515.0, 0.28), sextet(0.6, 0.35, -0.05, 510.0, 0.30)},
          {doublet_name, doublet(0.3, 0.34, 0.36, 0.45), doublet(0.3, 0.3, 0.3, 0.4)}}},
    };
}

SubSpecPtr create(const Component& c, const Isotope& iron)
{
    SubSpecPtr s = *c.name ? create_subspec(c.name, &iron) : SubSpecFactory::instance().create_baseline(&iron, 1e5);
    if (!s)
        throw std::runtime_error("no model type " + wide_to_utf8(c.name));
    return s;
}

// Writes `values` over the component's slice; the baseline keeps its own.
void set_values(ModelState& d, unsigned component, const std::vector<double>& values, double area_factor)
{
    const SubModel& c = *d.model.components[component];
    for (unsigned i = 0; i < values.size(); ++i)
        d.values[c.first + i] = i == 0 ? values[i] * area_factor : values[i];
    // The Gauss fraction stays at 0: Lorentz lines, as simulated.
    d.flags[c.first + values.size() - 1] &= ~ParamFree;
}

std::wstring spectrum_text(const Example& e, const Isotope& iron)
{
    ModelState truth;
    truth.model.level = e.level;
    truth.model.scale = e.scale;
    truth.model.isotope = &iron;
    for (unsigned k = 0; k < e.components.size(); ++k) {
        truth.add_component(k, SpectrumAnalysis(), create(e.components[k], iron), true);
        if (k > 0)
            set_values(truth, k, e.components[k].truth, 1.0);
    }
    SpectrumData spectrum;
    simulate(spectrum, e.points, -e.velocity, e.velocity, true, truth.model, truth.values);
    kwlist_set(spectrum.keywords, L"Title", e.spectrum_title, 0);
    kwlist_set(spectrum.keywords, L"Comment", e.spectrum_comment, 0);
    spectrum.store_keywords();
    return kwfile_save_to_memory(spectrum.keywords);
}

std::wstring model_text(const Example& e, const std::wstring& spectrum, const Isotope& iron,
                        const ProgramModelFileParts& parts)
{
    ModelState d;
    d.data.load_text(spectrum);
    d.set_levels_from_spectrum();
    d.model.isotope = &iron;
    // The model's scale comes from the spectrum's analysis when the model is loaded: the
    // areas are given in its units.
    const double area_factor = e.scale / d.model.scale;
    for (unsigned k = 0; k < e.components.size(); ++k) {
        d.add_component(k, d.data.analysis(false), create(e.components[k], iron), true);
        if (k > 0)
            set_values(d, k, e.components[k].start, area_factor);
    }
    write_model_keywords(d.model, d.values, d.flags, d.lower_bounds, d.upper_bounds, parts);
    kwlist_set(d.model.keywords, L"Title", e.model_title, 0);
    kwlist_set(d.model.keywords, L"Comment", e.model_comment, 0);
    return kwfile_save_to_memory(d.model.keywords);
}

void write_array(std::ostream& out, const std::string& name, const std::wstring& text, ExampleKind kind,
                 unsigned index)
{
    const std::string utf8 = wide_to_utf8(text);
    std::vector<unsigned char> bytes(utf8.begin(), utf8.end());
    apply_example_cipher(bytes, kind, index);
    out << "const unsigned char " << name << "[] = {";
    for (std::size_t i = 0; i < bytes.size(); ++i)
        out << (i % 20 == 0 ? "\n    " : " ") << static_cast<unsigned>(bytes[i]) << ",";
    out << "\n};\n\n";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--plain")) {
        std::cerr << "usage: make_examples <source folder> [--plain DIR]\n";
        return 2;
    }
    try {
        const fs::path source = argv[1];
        isotope_table().load((source / "data" / "isotope.txt").wstring());
        const Isotope* iron = isotope_table().find(L"57Fe");
        if (!iron)
            throw std::runtime_error("57Fe missing from isotope.txt");
        const ProgramModelFileParts parts;
        // A fixed seed: the same sources give the same examples.
        random_engine().seed(20240611);

        std::ostringstream out;
        out << "// Generated by tools/make_examples.cpp from data/isotope.txt; do not edit. The example\n"
               "// spectra and models, enciphered (example_items.h).\n"
               "#include \"core/text/example_items.h\"\n\nnamespace {\n\n";
        const std::vector<Example> all = examples();
        for (unsigned i = 0; i < all.size(); ++i) {
            const std::wstring spectrum = spectrum_text(all[i], *iron);
            const std::wstring model = model_text(all[i], spectrum, *iron, parts);
            write_array(out, "spectrum" + std::to_string(i), spectrum, ExampleKind::spectrum, i);
            write_array(out, "model" + std::to_string(i), model, ExampleKind::model, i);
            if (argc == 4) {
                const fs::path plain = argv[3];
                fs::create_directories(plain);
                write_text_file((plain / (std::wstring(all[i].file) + L".spc")).wstring(), spectrum);
                write_text_file((plain / (std::wstring(all[i].file) + L".mdl")).wstring(), model);
            }
        }
        for (const char* kind : {"spectrum", "model"}) {
            out << "const EncipheredExample " << kind << "_items[] = {\n";
            for (unsigned i = 0; i < all.size(); ++i)
                out << "    {" << kind << i << ", sizeof " << kind << i << "},\n";
            out << "};\n\n";
        }
        out << "} // namespace\n\n"
               "std::span<const EncipheredExample> stored_examples(ExampleKind kind)\n"
               "{\n"
               "    if (kind == ExampleKind::spectrum)\n"
               "        return spectrum_items;\n"
               "    return model_items;\n"
               "}\n";
        std::ofstream file(source / "core" / "text" / "example_items_data.cpp", std::ios::binary);
        file << out.str();
        if (!file.flush())
            throw std::runtime_error("cannot write example_items_data.cpp");
    } catch (const std::exception& error) {
        std::cerr << "make_examples: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
