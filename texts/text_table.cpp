#include "text_table.hpp"
