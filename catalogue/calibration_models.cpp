#include "catalogue/calibration_models.h"

#include "core/model/spectrum_model.h"
#include "catalogue/sub_spec_factory.h"

namespace {

class CatalogueForCalibration final : public ICalibrationCatalogue {
public:
    SubSpecPtr create_baseline(const Isotope* isotope, double level) const override
    {
        return SubSpecFactory::instance().create_baseline(isotope, level);
    }

    SubSpecPtr create_by_name(const std::wstring& name, const Isotope* isotope) const override
    {
        return SubSpecFactory::instance().create_by_name(name, isotope);
    }

    void parse_params(const std::wstring& text, const ISubSpec& component, std::vector<double>& values,
                      std::vector<int>& flags, std::vector<double>& lower, std::vector<double>& upper) const override
    {
        DVector read, read_lower, read_upper;
        std::vector<int> read_flags;
        // The reader takes a counted reference; the calibration's model holds the object.
        SpectrumModel::parse_component_line(text, SubSpecPtr(const_cast<ISubSpec*>(&component)), read, read_flags,
                                            read_lower, read_upper, nullptr, nullptr);
        values.insert(values.end(), read.begin(), read.end());
        flags.insert(flags.end(), read_flags.begin(), read_flags.end());
        lower.insert(lower.end(), read_lower.begin(), read_lower.end());
        upper.insert(upper.end(), read_upper.begin(), read_upper.end());
    }
};

}  // namespace

const ICalibrationCatalogue& calibration_catalogue()
{
    static const CatalogueForCalibration catalogue;
    return catalogue;
}
