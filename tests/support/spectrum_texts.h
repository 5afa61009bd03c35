// Keyword texts of small spectra for the spectrum edit tests.
#pragma once

#include <string>

namespace test_support {

// A 64-channel absorption spectrum with one line, counts on a calibrated axis
// (0.05 mm/s per channel, zero velocity at channel 32.5); `extra` goes before the counts.
inline std::wstring counts_text(const std::wstring& extra = L"")
{
    std::wstring counts;
    for (int i = 0; i < 64; ++i) {
        const double u = (i - 30.3) / 3.0;
        counts += std::to_wstring(static_cast<int>(100000 - 20000 / (1 + u * u))) + L" ";
    }
    return L"FirstChannel:1\nZeroChannel:32.5\nChannelPrice(mm/s):0.05\n" + extra + L"Spectrum:" + counts + L"\n";
}

// One stored deviation per channel of counts_text.
inline std::wstring deviations_key()
{
    std::wstring text = L"StdDevSpectrum:";
    for (int i = 0; i < 64; ++i)
        text += std::to_wstring(300 + i % 5) + L" ";
    return text + L"\n";
}

}  // namespace test_support
