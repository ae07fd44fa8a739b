// The text of update.ini: code page 932 with CR LF line ends, holding only what the updater reads.
#pragma once

#include <string>
#include <vector>

#include "disc_plan.h"
#include "list_source.h"

std::string compose_setup_list(const ListSource& source, const std::vector<DiscEntry>& entries);
