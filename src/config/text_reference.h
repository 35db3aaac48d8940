#pragma once
// Text references of menu scripts: "%0" and digits name a text of the current language,
// followed by "|"-separated arguments for its "%s" places.
#include <string>
#include <vector>

// Expands source against texts (entry n is text n); a source that is no reference, or names
// a missing or empty text, comes back unchanged.
std::string resolveTextReference(const std::string& source, const std::vector<std::string>& texts);
