#pragma once

// The two pages the Help features open.
namespace Links {
// The maker's page: the README installed with the program, looked up from the
// executable's folder in these places in turn.
inline constexpr const char* MakerPageCandidates[] = {"../share/doc/kumorial/README.md", "README.md"};
// A relief-donation page.
inline constexpr const char* DonationPage = "https://www.jrc.or.jp/contribute/";
} // namespace Links
