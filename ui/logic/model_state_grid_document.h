// The model grids' view of the document: cells read the document's vectors, and every
// edit, padlock click, cut and paste is one step of the model history. Pasted
// components are made by the catalogue and read by the component-line reader that the
// model files use, so the clipboard carries exactly what a model file stores.
#pragma once

#include <functional>

#include "core/document/model_file_parts.h"
#include "core/document/model_state.h"
#include "ui/logic/model_grid_rows.h"

class ModelStateGridDocument final : public ModelGridDocument {
public:
    // `before_change` runs before each change of the document: a running fit shares the
    // components with it and must be stopped first.
    ModelStateGridDocument(ModelState& document, const ModelFileParts& parts,
                           std::function<void()> before_change = {});

    ModelGridSource source() const override;
    ModelGridCommits commits() override;
    std::wstring component_line(unsigned component, bool use_values) const override;
    void delete_component(unsigned component) override;
    void delete_expression(unsigned expression) override;
    // The isotope named in the text, else the isotope table's first. Links in the text
    // are not applied: their targets belong to the model the line was copied from.
    int insert_pasted_component(unsigned index, const ComponentClipText& text) override;
    void insert_pasted_expression(unsigned index, const std::wstring& name, const std::wstring& text) override;

private:
    void before_change() const;

    ModelState& document_;
    const ModelFileParts& parts_;
    std::function<void()> before_change_;
};
