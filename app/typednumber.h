#pragma once

#include <optional>

class QString;

namespace tarv {

// A number typed by the operator as the whole text of a field (blanks around
// it allowed), read in the C locale. Besides what QString::toDouble reads,
// "Infinity" and "inf" of either sign give an infinity, and a number beyond
// double's range gives an infinity of its sign (or 0 when it is too small), so
// that the caller can hold it to its limits. Text that is no number, "NaN"
// included, gives nothing.
std::optional<double> TypedNumber(const QString& text);

} // namespace tarv
