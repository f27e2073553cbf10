#pragma once
// The firmware's text table (reader and writer) and the device character set.
