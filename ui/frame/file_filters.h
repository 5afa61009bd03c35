// The filters of the window's file dialogs: pairs of description and pattern, separated
// by '|'.
#pragma once

inline constexpr const wchar_t* spectrum_file_filter = L"Spectrum data files (*.spc)|*.spc|All files (*.*)|*.*";
inline constexpr const wchar_t* model_file_filter = L"Model files (*.mdl)|*.mdl|All files (*.*)|*.*";
