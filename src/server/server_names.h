// The names the server gives players: a name is cut to its limit, a blank one
// becomes "Player n", and one that another connection already uses gets a
// number, so nobody can take another player's name.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace servernames {

// True when players would read the two names as one: the same characters
// (whatever their bytes on the wire) once outer blanks are gone, without
// regard to letter case.
bool sameName(std::string_view a, std::string_view b);

// The name a newcomer in slot n is given for the one it asked for. `inUse`
// tells whether another connection already holds a name that reads the same.
// The result never exceeds the name limit and never splits a character.
std::string givenName(std::string_view asked, int n, const std::function<bool(std::string_view)>& inUse);

} // namespace servernames
