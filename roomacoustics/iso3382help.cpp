// SPDX-License-Identifier: GPL-3.0-or-later
#include "iso3382help.h"

#include "iso3382.h"
#include "iso3382eval.h"
#include "numbers.h"

namespace orvella {

namespace {

using namespace iso3382;

// A constant as the window writes numbers: the user's mark, no trailing zeros.
std::string n(double value, std::string_view mark) { return FormatResult(value, kStiDecimals, mark); }

}  // namespace

std::string iso3382MethodHtml(std::string_view mark)
{
    const std::string from = n(kMinDistanceM, mark);
    const std::string to = n(kMaxDistanceM, mark);
    const std::string count = std::to_string(kMinPositions);
    return "<h2>Verfahren</h2>"
           "<p><b>Positionen.</b> In die Regressionen gehen die Positionen mit " +
           from + " m ≤ r ≤ " + to +
           " m ein; die übrigen werden grau gezeigt, mit dem Hinweis, warum sie nicht "
           "eingehen. Jede Regression braucht mindestens " +
           count +
           " solcher Positionen; mit weniger zeigt jedes ihrer Ergebnisse „–“ und einen Satz, "
           "warum.</p>"
           "<p><b>D<sub>2,S</sub> und L<sub>p,A,S,4m</sub>.</b> Durch die Wertepaare "
           "(log<sub>2</sub>(r / 1 m); L<sub>p,A,S</sub>) wird die Ausgleichsgerade nach der Methode der "
           "kleinsten Quadrate gelegt. D<sub>2,S</sub> ist ihre Steigung mit umgekehrtem Vorzeichen, die "
           "Pegelabnahme pro Abstandsverdopplung in dB; L<sub>p,A,S,4m</sub> ist ihr Wert bei r = 4 m.</p>"
           "<p><b>Komfortabstand r<sub>C</sub></b> (Ausgabe 2022): der Abstand, in dem die Gerade " +
           n(kComfortLevelDb, mark) + " dB erreicht,</p>"
           "<p style=\"margin-left:24px\">r<sub>C</sub> = 4 m · 2<sup>(L<sub>p,A,S,4m</sub> − " +
           n(kComfortLevelDb, mark) +
           " dB) / D<sub>2,S</sub></sup>.</p>"
           "<p>Für D<sub>2,S</sub> ≤ 0 nimmt der Pegel nicht ab; r<sub>C</sub> ist dann nicht "
           "bestimmbar.</p>"
           "<p><b>Ablenkungsabstand r<sub>D</sub> und Vertraulichkeitsabstand r<sub>P</sub>.</b> Durch die "
           "Wertepaare (r; STI) der Positionen im Bereich, die einen STI haben, wird eine zweite "
           "Ausgleichsgerade gelegt – über r selbst, nicht über seinen Logarithmus. r<sub>D</sub> ist der "
           "Abstand, in dem sie STI = " +
           n(kDistractionSti, mark) + " erreicht, r<sub>P</sub> der, in dem sie STI = " + n(kPrivacySti, mark) +
           " erreicht. Auch diese Gerade braucht mindestens " + count +
           " Positionen; steigt sie oder ist sie waagerecht, sind beide Abstände nicht bestimmbar.</p>"
           "<p><b>Extrapoliert.</b> Liegt ein Abstand (oder 4 m für L<sub>p,A,S,4m</sub>) außerhalb der "
           "Entfernungen, die in seine Gerade eingingen, steht beim Ergebnis „extrapoliert“.</p>"
           "<p><b>Hintergrundpegel L<sub>p,A,B</sub>:</b> das energetische Mittel der angegebenen Werte, "
           "10 · lg(Mittelwert von 10<sup>L/10</sup>), über alle auswertbaren Zeilen.</p>"
           "<p><b>Rundung.</b> Abstände in m, Pegel und D<sub>2,S</sub> in dB werden mit einer "
           "Nachkommastelle gezeigt, wie die Rechner ihre Ergebnisse schreiben: gerundet (eine genaue Hälfte "
           "zur geraden Ziffer) und ohne Nullen am Ende (7 statt 7,0), der STI mit zwei. Die Bewertung vergleicht den gezeigten "
           "Wert mit dem Richtwert.</p>";
}

std::string iso3382HelpHtml(std::string_view mark)
{
    return "<h1>Messauswertung nach ISO 3382-3</h1>"
           "<p>Die Prognose schätzt, wie Sprache in einem Großraumbüro über die Entfernung abnimmt, bevor "
           "es gebaut ist. Ist das Büro eingerichtet, wird gemessen: ein Lautsprecher mit Sprachspektrum "
           "steht an einem Arbeitsplatz, und an 4 bis 10 Arbeitsplätzen entlang einer Linie werden der "
           "A-bewertete Sprachschalldruckpegel L<sub>p,A,S</sub>, der Sprachübertragungsindex STI und der "
           "Hintergrundgeräuschpegel L<sub>p,A,B</sub> bestimmt. Dieses Fenster wertet solche Messreihen "
           "nach ISO 3382-3 aus und zeigt sie neben der Prognose des Rechners.</p>"
           "<h2>Die Tabelle</h2>"
           "<p>Eine Zeile je Position: die Entfernung r zur Quelle in m, L<sub>p,A,S</sub> in dB, STI "
           "(0 bis 1) und L<sub>p,A,B</sub> in dB; STI und L<sub>p,A,B</sub> dürfen leer bleiben. Zahlen "
           "werden mit Komma oder Punkt gelesen.</p>"
           "<ul><li>Tippen ersetzt die Zelle, F2 oder Doppelklick bearbeitet sie, Entf leert die "
           "markierten Zellen. In der letzten, leeren Zeile beginnt eine neue Position.</li>"
           "<li>Strg+Plus fügt eine Zeile ein, Strg+Minus löscht die markierten Zeilen.</li>"
           "<li>Strg+V fügt Zeilen aus einer Tabellenkalkulation ein (Tabulator oder Semikolon zwischen den "
           "Zellen, Dezimalkomma oder -punkt, eine Kopfzeile wird übersprungen), ab der aktuellen Zelle; "
           "Strg+C kopiert die markierten Zellen.</li>"
           "<li>„CSV öffnen…“ (Strg+O) und „CSV speichern…“ (Strg+S) lesen und schreiben die Tabelle; "
           "unter deutschen Einstellungen mit Semikolon und Dezimalkomma, sonst mit Komma und Punkt.</li>"
           "<li>Strg+Umschalt+C kopiert die Ergebnisse und die Bewertung, „Bericht als PDF…“ (Strg+P) "
           "schreibt einen Bericht auf A4.</li></ul>"
           "<p>Eine Zelle, die keine Zahl ist, eine Entfernung r ≤ 0, ein STI außerhalb von 0 bis 1 oder ein "
           "Pegel jenseits von ±" +
           n(iso3382::kLevelLimitDb, mark) +
           " dB wird rot markiert; ihre Zeile bleibt stehen, wird aber nicht ausgewertet, und die Spalte "
           "„Hinweis“ sagt, warum.</p>" +
           iso3382MethodHtml(mark) +
           "<h2>Richtwerte</h2>"
           "<p>Der informative Anhang von ISO 3382-3 nennt für ein gutes Großraumbüro "
           "<b>D<sub>2,S</sub> ≥ " +
           n(iso3382::kGoodDecayDb, mark) + " dB</b>, <b>L<sub>p,A,S,4m</sub> ≤ " +
           n(iso3382::kGoodLevelAt4mDb, mark) + " dB</b> und <b>r<sub>D</sub> ≤ " +
           n(iso3382::kGoodDistractionDistanceM, mark) +
           " m</b>. Das Fenster zeigt bei jedem, ob er erreicht ist.</p>"
           "<h2>Das Diagramm</h2>"
           "<p>Oben L<sub>p,A,S</sub> über der Entfernung (logarithmisch geteilt): die Messpunkte, die "
           "Ausgleichsgerade (gestrichelt, wo sie über die Messpunkte hinaus verlängert ist), die Linie bei " +
           n(iso3382::kComfortLevelDb, mark) +
           " dB mit r<sub>C</sub> und die Prognose L<sub>r</sub>(R) mit den jetzigen Eingaben des "
           "Rechners. Unten der STI mit seiner Ausgleichsgeraden und den Linien bei " +
           n(iso3382::kDistractionSti, mark) + " und " + n(iso3382::kPrivacySti, mark) +
           " mit r<sub>D</sub> und r<sub>P</sub>. Positionen außerhalb des Bereichs sind grau.</p>"
           "<h2>Grenzen</h2>"
           "<ul><li>Die Auswertung setzt voraus, dass die Messung der Norm folgt: Quelle mit genormtem "
           "Sprachspektrum, Positionen entlang einer Linie von Arbeitsplätzen, Pegel und STI je Position "
           "richtig bestimmt. Sie prüft nur, ob die Zahlen lesbar und plausibel sind.</li>"
           "<li>Mit wenigen Positionen oder großer Streuung sind die Geraden unsicher; das Fenster gibt "
           "kein Vertrauensintervall an. Extrapolierte Abstände sind mit Vorsicht zu lesen.</li>"
           "<li>Liegen alle Positionen in derselben Entfernung, ist keine Gerade bestimmt.</li>"
           "<li>Die Prognose im Diagramm rechnet mit den Eingaben des Rechners, wie sie gerade in seinen "
           "Feldern stehen; sie ist eine Schätzung, keine zweite Messung.</li></ul>";
}

}  // namespace orvella
