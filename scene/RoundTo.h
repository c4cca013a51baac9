#pragma once

// `value` rounded to `digits` significant decimal digits, exactly as
// formatting with "%.*g" and reading the text back with atof gives it.
double roundTo(double value, int digits);
