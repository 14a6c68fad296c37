#pragma once

// The application identity and the addresses the viewer is built with. The stand-in server
// registers the same key and secret by default and listens on the same port, so the viewer and
// `halvane-server` find each other on this machine with no configuration.
namespace UTL_FacebookConfig
{
inline constexpr char ApiKey[] = "3b9f0c2e7a14d6580e2c9a7b41f05d36";
inline constexpr char AppSecret[] = "a0d4e8c61b29f7350c8e2d4b96a17f52";

inline constexpr char DefaultHost[] = "127.0.0.1";
inline constexpr int DefaultPort = 8765;

// The REST endpoint carries no scheme, so the transfer library's default (plain HTTP) applies.
inline constexpr char ServerUrl[] = "127.0.0.1:8765/restserver.php";
inline constexpr char LoginPage[] = "http://127.0.0.1:8765/login.php";

inline constexpr char RestPath[] = "/restserver.php";
inline constexpr char LoginPath[] = "/login.php";
} // namespace UTL_FacebookConfig
