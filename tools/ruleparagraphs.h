#pragma once

#include <QString>

// The numbered paragraphs of the traffic rules (ПДД РФ as in force since
// 1 March 2023), so that a comment citing «п. 13.19» or «п. 2.1.5» is caught
// as a typing error: such a paragraph does not exist.
namespace RuleParagraphs {

// `number` as a comment cites it: "13.9", "2.1.1", "13.11(1)".
bool exists(const QString &number);

} // namespace RuleParagraphs
