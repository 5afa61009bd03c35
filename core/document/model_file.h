// Model files: keyword files whose keys describe the components (one component line
// each, with colour and lock), the user expressions, the excluded x-ranges and the
// direction. Keys the model does not use are kept. Numbers the program writes read back
// exactly, so a model file written here always loads back to the same model.
#pragma once

#include <string>
#include <vector>

#include "core/document/model_file_parts.h"
#include "core/model/spectrum_model.h"

// A model read from a file, with its per-parameter vectors.
struct LoadedModel {
    SpectrumModel model;
    DVector values, lower, upper;
    std::vector<int> flags;
};

// Reads the model of `list` into a copy of `base` (its scale magnitude, level, isotope
// and keyword list stay; components, expressions and ranges come from the list) and sets
// the editor flags of the list's model entries. std::runtime_error (messages 50047,
// 50048, 50049 and those of the component line) with `source` and the offending entry's
// key appended; `base` is never touched.
LoadedModel read_model_keywords(KeywordList& list, const SpectrumModel& base, const ModelFileParts& parts,
                                const std::wstring& source);

// Writes the model into its own keyword list, replacing its model entries and keeping
// every other key.
void write_model_keywords(SpectrumModel& model, const DVector& values, const std::vector<int>& flags,
                          const DVector& lower, const DVector& upper, const ModelFileParts& parts);
