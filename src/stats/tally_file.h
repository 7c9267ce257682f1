// The tally file "lexmire2tally.tld": the grid's text form, compressed.
// The text form stays in memory; no intermediate file is written.
#pragma once

#include "tally_grid_text.h"
#include "tally_model.h"

#include <string>
#include <vector>

// The tally's rows from a grid of any width: a wider grid keeps its first ten
// columns, a narrower one is filled with "0".
std::vector<TallyModel::Row> tallyRowsOf(const TallyGrid& grid);
// The grid of ten columns the tally file holds.
TallyGrid tallyGridOf(const std::vector<TallyModel::Row>& rows);

// Reads the rows of a tally file; throws with the codec's or the grid's error text.
std::vector<TallyModel::Row> readTallyFile(const std::string& path);

// Writes the rows to a temporary file and renames it into place, so a failed
// write keeps the previous file; throws with the codec's error text.
void writeTallyFile(const std::string& path, const std::vector<TallyModel::Row>& rows);
