#pragma once

class QFont;
class QPrinter;
class QString;

// Prints the pane's text paginated in the pane's font; a lone CR shows as the pane's
// marker.
void printPaneText(const QString& text, const QFont& font, QPrinter& printer);
