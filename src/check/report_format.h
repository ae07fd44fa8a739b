// The forms update-check prints a report in: text for a person, one JSON document for a program.
#pragma once

#include <string>

#include "disc/report.h"

std::string format_text(const CheckReport& report);  // report_text.cpp
std::string format_json(const CheckReport& report);  // report_json.cpp
