#pragma once

#include <QString>

#include <string>

// A menu text as the soft keys and their menus show it: without the '&' that marks an access key,
// which a phone does not show. The drawn phone and the test shell read menus alike through it.
QString MenuText(const std::u16string& text);
