#pragma once

#include <string>
#include <string_view>

namespace quendro {

// A URL taken apart into the address without "user:password@" and the user and
// password that stood there, percent-decoded. A password may hold "@", ":" and
// "/" as typed ("http://u:pa/s@s@host/swim/"):
// - when no "/" comes before the first "@", the sign-in runs to the last "@"
//   before the path;
// - when what comes before the first "/" cannot be a host ("u:pa"), to the
//   last "@" of the URL;
// - when it could be a host and port ("meet:12" of "http://meet:12/34@host/"),
//   the sign-in is read when the first "@" stands before the second "/", and
//   runs to the last "@" before the host's path; an "@" further down is the
//   path's ("http://127.0.0.1:8808/swim/a@b/").
// So an address with "@" in the first folder of its path after a port, and a
// password that starts with digits and holds two "/" or more, are written with
// %40 and %2F.
struct AddressSignIn {
    std::string address;
    bool present = false;  // the URL held a sign-in
    std::string user;
    std::string password;
};
AddressSignIn splitSignIn(std::string_view url);

// The address as a message shows it: without "user:password@". Every status
// line, error and log line that names an address takes it from here, in
// UTF-8 and in the window's text alike.
std::string withoutPassword(std::string_view url);
std::u16string withoutPassword(std::u16string_view url);

}  // namespace quendro
