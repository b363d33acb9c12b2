// Temporary: replaced by the bitmap font.
#include "FontUnit.h"
std::uint32_t FontBase;
void BuildFont() {}
void DeleteFont() {}
void PrintText(std::int32_t, std::int32_t, std::string_view) {}
