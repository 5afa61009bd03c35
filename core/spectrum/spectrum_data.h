// One spectrum: the velocity of every point, its counts and their standard deviations,
// the spectrum file's whole keyword list (keys the program does not use survive every
// reading and writing) and the automatic analysis read as absorption and as emission.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "core/text/kwfile.h"
#include "core/spectrum/spectrum_analysis.h"

// Read access to spectrum data for the model, the fit and the views.
class IModelData {
public:
    virtual const std::vector<double>& x() const = 0;
    virtual const std::vector<double>& y() const = 0;
    virtual std::vector<double>& std_dev() = 0;  // writable by the caller
    virtual const std::vector<double>& std_dev() const = 0;
    // The emission reading when `emission` is true, else the absorption reading.
    virtual const SpectrumAnalysis& analysis(bool emission) const = 0;
    // |depth| of the absorption reading.
    virtual double depth() const = 0;

protected:
    ~IModelData() = default;
};

class ISetY {
public:
    // Copies `y` into the counts; the other vectors are not touched.
    virtual void set_y(const std::vector<double>& y) = 0;

protected:
    ~ISetY() = default;
};

// (label, text) pairs of the spectrum information list.
using PropertyList = std::vector<std::pair<std::wstring, std::wstring>>;

class SpectrumData : public IModelData, public ISetY {
public:
    // Points sorted by increasing x after a load; x, y and std_dev always have one length.
    std::vector<double> x_data;
    std::vector<double> y_data;
    std::vector<double> std_dev_data;
    KeywordList keywords;
    SpectrumAnalysis absorption;
    SpectrumAnalysis emission;  // always absorption.emission_reading()

    SpectrumData();

    const std::vector<double>& x() const override { return x_data; }
    const std::vector<double>& y() const override { return y_data; }
    std::vector<double>& std_dev() override { return std_dev_data; }
    const std::vector<double>& std_dev() const override { return std_dev_data; }
    const SpectrumAnalysis& analysis(bool emission_reading) const override;
    double depth() const override;
    // Refuses (std::invalid_argument) counts of another length than x.
    void set_y(const std::vector<double>& y) override;

    // Takes over `other`'s state: the points are copied, the keyword list and the
    // analysis records are moved (`other`'s list is left empty).
    void assign(SpectrumData& other);

    // Builds the points from `list` and brings `list` into its stored form (transient
    // calibration keys, "NonresonantPart", "Item" and "Multiple" applied and removed,
    // data blocks hidden). All or nothing: on an error (std::runtime_error) neither the
    // spectrum nor `list` has changed.
    void load_keywords(KeywordList& list);
    // Reads a spectrum file (".spc", ".txt", ".dat", ".dlt") or a keyword text; the list
    // becomes the spectrum's own. All or nothing, like load_keywords.
    void load_file(const std::wstring& path);
    void load_text(const std::wstring& text);
    // Writes the points into the spectrum's own list; saving is this and kwfile_save.
    // Vectors of different lengths are refused (std::logic_error), never read past.
    void store_keywords();

    // Deviations from the list's "StdDevSpectrum" (when it has one per point), else its
    // "StdDev", else sqrt(|count|).
    void compute_std_dev(const KeywordList& list);
    // Recomputes both analysis readings; a spectrum without points gets the defaults.
    void update_analysis();
    // Replaces counts and deviations (undo and redo of count edits).
    void set_counts_and_std_dev(const std::vector<double>& counts, const std::vector<double>& deviations);
    // n ≥ 2 equidistant velocities from `from` (the first channel) to `to`, counts and
    // deviations 0, and the calibration keys that describe that axis (a negative price
    // when `from` > `to`); the points stay sorted by x.
    void make_velocity_axis(unsigned n, double from, double to);
    // "ZeroChannel" = FirstChannel (1 when absent) + offset.
    void set_zero_channel(double offset);
    // Lets the user edit the keyword list and rereads it; true when the user confirmed
    // and the edited list reads. An unreadable edit is shown (caption "Error") and
    // discarded: the spectrum keeps its state.
    bool edit_properties(int editor_option);
    // Appends the spectrum information of the reading chosen by `emission_reading`.
    void property_list(PropertyList& out, bool emission_reading, bool with_lines) const;

    // ---- Edits (the document records each one for undo through the keyword list) ----

    // Removes the points with from ≤ x ≤ to (none when from > to) and the channel price
    // and count keys, so the spectrum is written as velocity pairs from now on; then
    // analyses again, so no found line points past the end.
    void remove_x_interval(double from, double to);
    // Filters the counts with the centred FIR kernel. Deviations the spectrum stores are
    // propagated through the filter (the points taken as independent); others follow
    // from the new counts. Analyses again and writes the keyword list.
    void apply_filter(const std::vector<double>& kernel);
    // Merges each pair of neighbouring channels, in channel order (counts added,
    // deviations added in quadrature; an odd last channel dropped) and rescales the
    // calibration keys to the merged channels unless the price is exactly 1; the merged
    // points stand where the keys put them. Spectra of velocity pairs or triples merge
    // neighbouring points at their mean x. False, with nothing changed, for fewer than
    // two points.
    bool decimate_by_2();
    // Reverses the order of the counts and of the deviations, the velocities staying in
    // place, so the spectrum is mirrored about the middle of its velocity range; analyses
    // again and writes the keyword list. False, nothing changed, without points.
    bool reverse_counts();
    // Adds the counts of `other` channel by channel: channel k of its stored block to
    // channel k of this one's, whatever either calibration makes of their velocities.
    // Deviations add in quadrature and are stored when either spectrum stores its own;
    // velocities and keys stay this spectrum's. Message 50038 (std::runtime_error, nothing
    // changed) unless both have the same number of points, at least one.
    void add_counts(const SpectrumData& other);
};

// The half width in channels of the smoother of a filter `width` mm/s wide: |width|/2
// over |channel price| (1 without one), truncated; 0, meaning "leave the spectrum as
// it is", for a price of 0 or not a number, a half width above 1000 or below 2 channels.
unsigned filter_half_width(const KeywordList& list, double width);

// The text of a data block: each value in the printf-style `format`, eight to a line, or
// with `second` (same length) pairs "v w", two pairs to a line; single blanks between
// items, line feeds between lines, none at the end.
void format_data_block(const std::vector<double>& values, std::wstring_view format, std::wstring& out,
                       const std::vector<double>* second = nullptr);
