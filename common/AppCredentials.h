#pragma once
// Application key and secret that libsdk presents to the meeting cloud (POST /sdk/auth).
// The client, libsdk and vtx-service include this one header so the three always agree.

namespace vtx {

inline constexpr char kAppKey[] = "sgBIJdR2aY9sXrGwnoefAgKc0SCPu0lPaV2J";
inline constexpr char kAppSecret[] = "BixMW5tCDxDOmKoXvAuYCIADdxS137j25jqf";

// The client keeps SDK texts as wide strings.
inline constexpr wchar_t kAppKeyW[] = L"sgBIJdR2aY9sXrGwnoefAgKc0SCPu0lPaV2J";
inline constexpr wchar_t kAppSecretW[] = L"BixMW5tCDxDOmKoXvAuYCIADdxS137j25jqf";

} // namespace vtx
