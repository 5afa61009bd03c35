// The model names of older files and the parameter renames that come with them.
#include <locale>

#include <boost/format.hpp>

#include "core/model/component_line.h"
#include "core/text/kwfile_chars.h"

const std::array<LegacyModelName, 12> legacy_model_names = {{
    {L"PseudoVoigt line", L"PseudoVoigt singlet", L"S=I"},
    {L"PseudoVoigt doublet", L"PseudoVoigt doublet", L"S=I S₂/S₁=I₂/I₁"},
    {L"PseudoVoigt sextet", L"PseudoVoigt sextet", L"S=I S₂/S₁=I₂/I₁ S₃/S₁=I₃/I₁"},
    {L"Two level charge relaxation doublet", L"Two level paramagnetic relaxation",
     L"S=I S²/S¹=I₂/I₁ δ₁=δA ε₁=εA δ₂=δB ε₂=εB ln(p₁₂)=ln(ΩAB) p₂₁/p₁₂=ΩBA/ΩAB"},
    {L"Two level magnetic relaxation sextet", L"Two level magnetic relaxation",
     L"S=I S₂/S₁=I₂/I₁ S₃/S₁=I₃/I₁ Hn=H ln(p₁₂)=ln(ΩAB) p₂₁/p₁₂=ΩBA/ΩAB"},
    {L"Fluctuating MMF", L"Isotropic magnetic hyperfine field relaxation",
     L"S=I S₂/S₁=I₂/I₁ S₃/S₁=I₃/I₁ H₀=H ln(p)=ln(Ω)"},
    {L"Fluctuating EFG", L"Isotropic electric field gradient relaxation", L"S=I S₂/S₁=I₂/I₁ ln(p)=ln(Ω)"},
    {L"Anharmonic Spin Modulation", L"Anharmonic spin modulation", L"εc=εmagn εp=εlat εis=εmagn εan=εlat δ₀=δ"},
    {L"Anharmonic spin modulation", L"Anharmonic spin modulation", L"εc=εmagn εp=εlat εis=εmagn εan=εlat δ₀=δ"},
    {L"Many-state superparamagnetic relaxation", L"Many-state superparamagnetic relaxation", L"ln(Ω)=ln(R) Γ=Γ₁"},
    {L"Many-state spin relaxation", L"Many-state spin relaxation", L"ln(Ω)=ln(R) Γ=Γ₁"},
    {L"Single-ion spin relaxation [S=5/2]", L"Single-ion spin relaxation [S=5/2]", L"Γ=Γ₁"},
}};

const LegacyModelName* find_legacy_model(std::wstring_view name)
{
    for (const LegacyModelName& entry : legacy_model_names)
        if (name == entry.old_name)
            return &entry;
    return nullptr;
}

void add_param_renames(const LegacyModelName* entry, unsigned component, std::map<std::wstring, std::wstring>& renames)
{
    if (!entry)
        return;
    const std::wstring_view words = entry->renames;
    const auto key = [component](std::wstring_view name) {
        return (boost::wformat(L"%u:%s", std::locale::classic()) % component % std::wstring(name)).str();
    };
    for (std::size_t start = 0; start < words.size();) {
        while (start < words.size() && kw_is_space(words[start]))
            ++start;
        if (start == words.size())
            break;
        const std::size_t equals = words.find(L'=', start);
        if (equals == std::wstring_view::npos)
            break;
        std::size_t end = equals + 1;
        while (end < words.size() && !kw_is_space(words[end]))
            ++end;
        renames[key(words.substr(start, equals - start))] = key(words.substr(equals + 1, end - equals - 1));
        start = end;
    }
}
