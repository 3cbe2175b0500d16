#pragma once

// Area codes and exchanges that the shipped city database knows, for the demo call log: every
// generated number is one of these followed by four digits, so every demo call shows a place.
struct DemoPair {
    int areaCode;
    int exchange;
    const char* place;
};

inline constexpr DemoPair kDemoPairs[] = {
    {206, 386, "Seattle, WA"},  {212, 555, "New York, NY"},      {425, 882, "Redmond, WA"},
    {425, 641, "Bellevue, WA"}, {415, 555, "San Francisco, CA"}, {312, 555, "Chicago, IL"},
    {617, 262, "Boston, MA"},   {303, 291, "Denver, CO"},        {713, 222, "Houston, TX"},
    {305, 358, "Miami, FL"},    {404, 521, "Atlanta, GA"},       {512, 474, "Austin, TX"},
    {602, 256, "Phoenix, AZ"},  {503, 224, "Portland, OR"},      {612, 339, "Minneapolis, MN"},
    {214, 741, "Dallas, TX"},
};
