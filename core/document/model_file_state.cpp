// Loading a model file into the document, saving the document's model, and editing the
// model as its keyword list.
#include <memory>
#include <stdexcept>

#include "core/document/change_records.h"
#include "core/document/model_file.h"
#include "core/document/vector_edits.h"
#include "core/text/text.h"
#include "core/text/ui_seam.h"

void ModelState::load_model_file(const Isotope* isotope, const std::wstring& path, const ModelFileParts& parts)
{
    const Transaction transaction(*this);
    KeywordList list;
    kwfile_load(path, list);
    LoadedModel loaded = read_model_keywords(list, model, parts, path);
    loaded.model.keywords = std::move(list);
    take_loaded_model(isotope, loaded.model, loaded.values, loaded.flags, loaded.lower, loaded.upper);
}

void ModelState::load_model_text(const Isotope* isotope, const std::wstring& text, const ModelFileParts& parts)
{
    const Transaction transaction(*this);
    KeywordList list;
    kwfile_load_from_memory(text, list);
    LoadedModel loaded = read_model_keywords(list, model, parts, std::wstring());
    loaded.model.keywords = std::move(list);
    take_loaded_model(isotope, loaded.model, loaded.values, loaded.flags, loaded.lower, loaded.upper);
}

void ModelState::take_loaded_model(const Isotope* isotope, SpectrumModel& loaded, DVector& new_values,
                                   std::vector<int>& new_flags, DVector& new_lower, DVector& new_upper)
{
    // Everything the new state needs is allocated first (the covariance of a large
    // model may not fit into memory); the document changes only from there on, by moves.
    loaded.isotope = isotope;
    loaded.compile_expressions();
    loaded.apply_links(new_values, nullptr);
    const std::size_t n = loaded.param_count();
    DMatrix zeros = zero_covariance(n);
    DVector new_fit_values = new_values;
    model = std::move(loaded);
    fit_values.swap(new_fit_values);
    values.swap(new_values);
    lower_bounds.swap(new_lower);
    upper_bounds.swap(new_upper);
    flags.swap(new_flags);
    replace_fit_matrices(zeros);
    model_history.clear();
    // The single ranges recorded on the spectrum history belonged to the old model.
    spectrum_history.drop_model_bound_records();
}

void ModelState::save_model_file(const std::wstring& path, const ModelFileParts& parts)
{
    const Transaction transaction(*this);
    // The list is written on a copy: a failed save leaves the model's list as it was.
    SpectrumModel copy = model;
    write_model_keywords(copy, values, flags, lower_bounds, upper_bounds, parts);
    kwfile_save(path, copy.keywords);
    model.keywords = std::move(copy.keywords);
    model_history.mark_saved();
}

bool ModelState::edit_model_properties(const ModelFileParts& parts)
{
    try {
        SpectrumModel written = model;
        write_model_keywords(written, values, flags, lower_bounds, upper_bounds, parts);
        KeywordList edited = std::move(written.keywords);
        // The excluded ranges are edited on the plot and kept by the spectrum history;
        // the list shows them but does not let them change here.
        kwlist_set_flags_by_prefix(edited, L"XRange = ", KWReadOnly);
        if (user_interface().edit_keyword_list(edited, 0, L"") != 1)
            return false;
        LoadedModel loaded = read_model_keywords(edited, model, parts, std::wstring());
        loaded.model.keywords = std::move(edited);
        loaded.model.compile_expressions();
        loaded.model.apply_links(loaded.values, nullptr);
        push_record<ChangeRecordWholeModel>(model_history, loaded.model, loaded.values, loaded.flags, loaded.lower,
                                            loaded.upper);
        return true;
    } catch (const std::exception& error) {
        user_interface().message_box(utf8_to_wide(error.what()), L"Error");
        return false;
    }
}
