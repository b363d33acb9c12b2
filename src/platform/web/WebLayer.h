// What the web layer's files share.
#pragma once

#include <string>

// Offers FileName from the page's in-memory files as a download.
void OfferDownload(const std::string& FileName);
