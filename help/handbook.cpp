// SPDX-License-Identifier: GPL-3.0-or-later
#include "handbook.h"

#include "helptext.h"
#include "moisture.h"
#include "schall.h"

#include <QStringList>

namespace orvella::help {

namespace {

Handbook handbookOfModel(const CalculatorModel& model)
{
    Handbook h;
    if (isConverter(model)) {
        h.answers = QStringLiteral(
            "Der Rechner rechnet zwischen dem Schallleistungspegel L<sub>W</sub> einer Schallquelle und dem "
            "Schalldruckpegel L<sub>p</sub> im Abstand r von ihr um, in beide Richtungen: links (Rahmen "
            "„Schallleistungspegel“) aus L<sub>p</sub> und r den Schallleistungspegel, rechts (Rahmen "
            "„Schalldruckpegel“) aus L<sub>W</sub> und r den Schalldruckpegel. Die beiden Hälften sind "
            "unabhängig: jeder Knopf liest nur die zwei Felder seines Rahmens und schreibt nur sein eigenes "
            "Ergebnisfeld.");
        h.forWhom = QStringLiteral(
            "Für Planer und Gutachter, die aus der Schallleistung eines Geräts (etwa einer Herstellerangabe) "
            "den Pegel in einem Abstand abschätzen oder aus einem gemessenen Schalldruckpegel auf die "
            "Schallleistung zurückschließen.");
        h.assumptions =
            QStringLiteral(
                "<ul><li>Punktförmige Quelle im freien Schallfeld: die Schallleistung verteilt sich gleichmäßig "
                "über eine Kugel mit der Oberfläche S = 4 · π · r<sup>2</sup>. Daher "
                "L<sub>W</sub> = L<sub>p</sub> + 10 · lg S.</li>"
                "<li>Reflexionen, Richtwirkung, Luftdämpfung und Hindernisse gehen nicht ein. Steht die Quelle "
                "auf einer schallharten Fläche oder in einem Raum, ist der tatsächliche Schalldruckpegel höher "
                "als hier berechnet.</li>"
                "<li>S wird in m² eingesetzt, also auf 1 m² bezogen; lg ist der Zehnerlogarithmus, berechnet "
                "als ln x / ln 10.</li>"
                "<li>π wird, wie seit jeher in diesem Rechner, als {k:%1} gerechnet. Ergebnisse, die genau "
                "auf einer Rundungsgrenze liegen, können daher um {k:0.01} dB von einer Rechnung mit dem "
                "vollen π abweichen.</li></ul>")
                .arg(QString::number(kConverterPi, 'g', 15));
        h.limits = QStringLiteral(
            "<p>Keine endliche Antwort gibt es für den Abstand 0 – auch ein leeres Abstandsfeld oder ein Text "
            "ohne Zahl am Anfang zählt als 0 –, weil der Logarithmus von 0 nicht definiert ist; ebenso für "
            "eine Zahl, die zu groß zum Lesen ist (etwa 1E999), und für so große Abstände oder Pegel, dass "
            "ein Zwischenwert den Zahlenbereich verlässt. Ein negativer Abstand ist kein Fehler: r<sup>2</sup> "
            "zählt ihn wie seinen Betrag.</p>");
    } else if (model.id == "frmFeuchte") {
        h.answers = QStringLiteral(
            "Bis zu welcher relativen Feuchte der Raumluft bleibt eine Oberfläche mit gegebener Temperatur "
            "unkritisch? Aus der Raumlufttemperatur θ<sub>r</sub> und der Oberflächentemperatur "
            "θ<sub>s</sub> ergeben sich drei Grenzwerte der relativen Raumluftfeuchte: bei φ<sub>K</sub> "
            "erreicht die Luft unmittelbar an der Oberfläche 100 % relative Feuchte (Tauwasser), bei "
            "φ<sub>S</sub> 80 % (Schimmelpilzbildung), bei φ<sub>C</sub> 60 % (Korrosion).");
        h.forWhom = QStringLiteral(
            "Für Bauphysiker, Planer und Sachverständige, die Wärmebrücken, Anschlüsse oder Außenwandecken "
            "beurteilen: Liegt die tatsächliche Raumluftfeuchte unter dem Grenzwert, bleibt die Oberfläche "
            "unter der jeweiligen Schwelle.");
        h.assumptions = QStringLiteral(
            "<ul><li>Die Luft an der Oberfläche hat denselben Wasserdampfdruck wie die Raumluft; sie kühlt "
            "nur ab. Ihre relative Feuchte ist daher der Dampfdruck der Raumluft, geteilt durch den "
            "Sättigungsdampfdruck bei θ<sub>s</sub>.</li>"
            "<li>Den Sättigungsdampfdruck rechnet das Programm mit dem Potenzgesetz "
            "p<sub>sat</sub> = a · (b + θ / 100)<sup>n</sup>: über Wasser für θ &gt; 0 °C "
            "(a = %1 Pa, b = %2, n = %3), über Eis für θ ≤ 0 °C (a = %4 Pa, b = %5, n = %6). Die beiden "
            "Formen treffen sich bei 0 °C nicht genau; nichts glättet diese Naht.</li>"
            "<li>Schimmelkriterium 80 %, Korrosionskriterium 60 % relative Feuchte an der Oberfläche; "
            "φ<sub>S</sub> und φ<sub>C</sub> werden aus dem ungerundeten φ<sub>K</sub> gebildet.</li>"
            "<li>Nichts wird begrenzt: eine Oberfläche, die wärmer als die Raumluft ist, ergibt Grenzwerte "
            "über 100 %.</li></ul>");
        h.limits = QStringLiteral(
            "<p>Keine endliche Antwort gibt es für Temperaturen unter {k:-148.6} °C (dort hat die Eisform "
            "keinen Wert), für eine Raumtemperatur von genau {k:-148.6} °C (der Sättigungsdampfdruck der "
            "Raumluft ist 0 Pa, φ<sub>K</sub> wäre eine Division durch null), für Zahlen, die zu groß zum "
            "Lesen sind, und bei einem Überlauf. Eine Oberflächentemperatur von genau {k:-148.6} °C ergibt "
            "0 %.</p>");
    } else if (model.id == "frmTemperatur") {
        h.answers = QStringLiteral(
            "Wie warm müssen die Innenoberflächen eines Raumes bei einer gegebenen Außentemperatur mindestens "
            "sein, damit sich kein Tauwasser bildet und kein Schimmel wächst? Aus der Außentemperatur "
            "θ<sub>e</sub> folgen die angenommene relative Raumluftfeuchte φ, die Tauwassergrenze "
            "θ<sub>K</sub> (der Taupunkt der Raumluft) und die Schimmelgrenze θ<sub>M</sub> (die "
            "Oberflächentemperatur, bei der die Oberfläche 80 % relative Feuchte erreicht).");
        h.forWhom = QStringLiteral(
            "Für die Beurteilung von Wärmebrücken und Bauteilanschlüssen: Liegt die Oberflächentemperatur "
            "über θ<sub>M</sub>, ist bei dem angenommenen Raumklima kein Schimmel zu erwarten, liegt sie "
            "über θ<sub>K</sub>, kein Tauwasser.");
        h.assumptions = QStringLiteral(
            "<ul><li>Raumluft mit %7 °C; ihre relative Feuchte hängt von der Außentemperatur ab: 65 % für "
            "0 °C &lt; θ<sub>e</sub> ≤ 10 °C, darunter ein Prozentpunkt weniger je Grad, darüber ein Punkt "
            "mehr je Grad. Die Regel hat keine obere und keine untere Grenze.</li>"
            "<li>Sättigungsdampfdruck nach dem Potenzgesetz p<sub>sat</sub> = a · (b + θ / 100)<sup>n</sup> "
            "über Wasser (a = %1 Pa, b = %2, n = %3); die Schimmelgrenze kehrt es um, unterhalb von "
            "%8 Pa mit der Eisform (a = %4 Pa, b = %5, n = %6).</li>"
            "<li>Der Taupunkt folgt der Magnus-Formel über Wasser mit %9 hPa, %10 und %11 °C. Magnus ist "
            "nicht genau die Umkehrung des Potenzgesetzes: der Taupunkt von Luft mit dem Sättigungsdampfdruck "
            "von 20 °C ergibt {k:20.0007} °C. Beide werden so verwendet, wie sie sind.</li>"
            "<li>Schimmelkriterium: 80 % relative Feuchte an der Oberfläche (Faktor %12).</li></ul>");
        h.limits = QStringLiteral(
            "<p>Ab einer Außentemperatur von −65 °C abwärts ist die angenommene Raumluftfeuchte 0 % oder "
            "weniger; die Luft enthält keinen Dampf, und der Taupunkt ist nicht definiert. Dann gibt es – wie "
            "bei Zahlen, die zu groß zum Lesen sind – keine endliche Antwort, und auch φ wird nicht "
            "geschrieben. Oberhalb von 45 °C liegt φ über 100 % und wird so angezeigt.</p>");
    } else if (model.id == "frmDLprognose") {
        h.answers = QStringLiteral(
            "Wie weit trägt Sprache in einem Großraumbüro? Aus dem Sprachpegel in 1 m Abstand, Länge, Breite "
            "und Höhe des Raumes, der Höhe der Stellwände und zwei mittleren Absorptionsgraden schätzt der "
            "Rechner DL<sub>2</sub>, die Pegelminderung der Sprache pro Abstandsverdopplung, L<sub>4</sub>, "
            "den Sprachpegel in 4 m Abstand, und L<sub>r</sub>, den Sprachpegel im gewählten Abstand R.");
        h.forWhom = QStringLiteral(
            "Für Akustik- und Büroplaner in der Entwurfsphase: um abzuschätzen, wie höhere Stellwände, mehr "
            "Absorption oder ein anderer Raumzuschnitt die Ausbreitung der Sprache über die Arbeitsplätze "
            "hinweg verringern.");
        h.assumptions = QStringLiteral(
            "<ul><li>Drei feste empirische Formeln mit konstanten Koeffizienten; sie liefern Schätzwerte, "
            "keine Messwerte. Jede wird von links nach rechts ohne Zwischenrundung ausgewertet.</li>"
            "<li>L<sub>r</sub> setzt die Abnahme von 4 m aus logarithmisch über den Abstand fort, mit dem "
            "Faktor {k:3.3} (nicht 1 / lg 2 = {k:3.32}…): bei R = 8 m liegt L<sub>r</sub> deshalb "
            "{k:0.9934} · DL<sub>2</sub> unter L<sub>4</sub>, nicht genau DL<sub>2</sub>. Für R unter 4 m "
            "liegt L<sub>r</sub> über L<sub>4</sub>.</li>"
            "<li>Kein Eingabewert wird geprüft: Absorptionsgrade außerhalb von 0 bis 1, negative Maße oder "
            "Stellwände, die höher als der Raum sind, werden gerechnet, wie sie eingegeben sind – das "
            "Ergebnis hat dann keine Aussage.</li></ul>");
        h.limits = QStringLiteral(
            "<p>Keine endliche Antwort gibt es für die Raumhöhe 0 (die Quotienten in DL<sub>2</sub> sind "
            "nicht definiert), für einen Abstand R ≤ 0 (kein Logarithmus) – ein leeres Feld oder ein Text "
            "ohne Zahl zählt dabei als 0 –, für Zahlen, die zu groß zum Lesen sind, und bei einem Überlauf. "
            "Die Kommakorrektur bleibt in den Feldern, die schon gelesen waren.</p>");
    }
    return h;
}

// The moisture texts name the constants of the formula code.
QString moistureConstants(QString text, const QString& mark)
{
    const auto n = [&](double v) { return exactText(v, mark); };
    if (text.contains(QStringLiteral("%12")))
        text = text.arg(n(kOverWater.a), n(kOverWater.b), n(kOverWater.n), n(kOverIce.a), n(kOverIce.b),
                        n(kOverIce.n), n(kAssessedRoomTemperature), n(kIceWaterThresholdPa),
                        n(kMagnusReferenceHpa))
                   .arg(n(kMagnusCoefficient), n(kMagnusTemperature), n(kMouldSurfaceHumidity));
    else if (text.contains(QStringLiteral("%6")))
        text = text.arg(n(kOverWater.a), n(kOverWater.b), n(kOverWater.n), n(kOverIce.a), n(kOverIce.b),
                        n(kOverIce.n));
    return withMark(text, mark);
}

}  // namespace

Handbook handbookOf(const CalculatorModel& model, const QString& mark)
{
    Handbook h = handbookOfModel(model);
    h.assumptions = moistureConstants(h.assumptions, mark);
    h.limits = moistureConstants(h.limits, mark);
    return h;
}

QString buttonCaption(const CalculatorModel& model)
{
    if (model.id == "frmSchall.l")
        return QStringLiteral("Schallleistungspegel [dB]");
    if (model.id == "frmSchall.p")
        return QStringLiteral("Schalldruckpegel [dB]");
    if (model.id == "frmFeuchte")
        return QStringLiteral("Grenzfeuchte");
    if (model.id == "frmTemperatur")
        return QStringLiteral("Grenztemperatur");
    return QStringLiteral("Berechnung");
}

bool isConverter(const CalculatorModel& model)
{
    return model.id.rfind("frmSchall", 0) == 0;
}

QString windowOnStop(const CalculatorModel& model)
{
    if (isConverter(model))
        return QStringLiteral(
            "Das Fenster zeigt dann die Meldung „Bitte Schalldruckpegel und Abstand angeben!“ "
            "(Titel „ Tessaly Service“) mit den Knöpfen Abbrechen, Wiederholen und Ignorieren: "
            "Abbrechen beendet die Rechnung, und das Ergebnisfeld behält seinen Text; Wiederholen "
            "versucht den gescheiterten Schritt noch einmal (und meldet denselben Fehler wieder); "
            "Ignorieren rechnet mit 0 für den fehlenden Wert weiter – bei einem Abstand von 0 steht "
            "danach „0“ im Ergebnisfeld.");
    return QStringLiteral(
               "Das Fenster lässt dann alle Ergebnisfelder, wie sie sind, gibt einen Signalton und zeigt "
               "am Knopf „%1“ den Hinweis „Berechnung nicht möglich – bitte Eingaben prüfen.“")
        .arg(buttonCaption(model));
}

QString readingRules(const std::vector<const CalculatorModel*>& models, const QString& mark)
{
    QStringList fixed;
    QStringList unfixed;
    bool resultsFixed = false;
    for (const CalculatorModel* m : models) {
        for (const InputQuantity& q : m->inputs)
            (q.commaFix ? fixed : unfixed)
                << QStringLiteral("%1 (%2)").arg(html(q.label), html(q.symbolHtml));
        resultsFixed = resultsFixed || m->resultsCommaFix;
    }
    fixed.removeDuplicates();
    unfixed.removeDuplicates();
    QString s = QStringLiteral("<ul>");
    if (!fixed.isEmpty())
        s += QStringLiteral(
                 "<li>Vor dem Lesen ersetzt das Fenster in %1 das erste Komma durch einen Punkt, "
                 "sichtbar im Feld selbst: aus 2,5 wird 2.5; nur das erste Komma, aus 1,2,3 wird "
                 "1.2,3.</li>")
                 .arg(fixed.size() == 1 ? QStringLiteral("dem Feld ") + fixed.first()
                                        : QStringLiteral("den Feldern ") + fixed.join(QStringLiteral(", ")));
    if (!unfixed.isEmpty())
        s += QStringLiteral("<li>In %1 beendet ein Komma die Zahl: 2,5 liest sich dort als 2.</li>")
                 .arg(unfixed.join(QStringLiteral(", ")));
    s += QStringLiteral(
        "<li>Gelesen wird die Zahl am Anfang des Textes, mit dem Punkt als Dezimalzeichen, gleich welche "
        "Ländereinstellung gilt: Leerzeichen werden übergangen, eine Hochzahl schreibt man 1.5E3; das Lesen "
        "endet beim ersten Zeichen, das nicht zur Zahl gehört. Ein leeres Feld oder ein Text ohne Zahl am "
        "Anfang zählt als 0. Eine Zahl, die zu groß für den Rechner ist (etwa 1E999), hat keine Antwort.</li>");
    s +=
        withMark(QStringLiteral("<li>Ergebnisse werden erst geschrieben, wenn alle berechnet sind: auf ihre "
                                "Nachkommastellen gerundet, bei genau einer halben Stelle zur geraden Ziffer "
                                "({k:0.125} wird {k:0.12}, {k:0.375} wird {k:0.38}), ohne Nullen am Ende "
                                "und mit dem Dezimalzeichen Ihrer Ländereinstellungen (hier „%1“).%2</li>")
                     .arg(mark, resultsFixed ? QStringLiteral(" Danach ersetzt das Fenster ein Komma im "
                                                              "Ergebnisfeld durch einen Punkt.")
                                             : QString()),
                 mark);
    return s + QStringLiteral("</ul>");
}

QString isoSection(int level, const QString& mark)
{
    return heading(level, QStringLiteral("Einordnung nach ISO 3382-3")) +
           withMark(
               QStringLiteral(
                   "<p>ISO 3382-3 beschreibt die Messung raumakustischer Größen in Großraumbüros. Die "
                   "Pegelabnahme der Sprache pro Abstandsverdopplung heißt dort D<sub>2,S</sub>, der "
                   "A-bewertete Schalldruckpegel der Sprache in 4 m Abstand L<sub>p,A,S,4m</sub>; "
                   "DL<sub>2</sub> und L<sub>4</sub> dieses Rechners sind Prognosen dieser beiden Größen. Der "
                   "informative Anhang der Norm nennt als Richtwerte für gute Großraumbüros "
                   "<b>D<sub>2,S</sub> ≥ 7 dB</b> und <b>L<sub>p,A,S,4m</sub> ≤ 48 dB</b>.</p>"
                   "<p>ISO 3382-3:2022 führt außerdem den Komfortabstand r<sub>C</sub> ein: den Abstand, ab dem "
                   "der Sprachpegel unter 45 dB fällt. Mit der L<sub>r</sub>-Formel dieses Rechners, "
                   "L<sub>r</sub> = 45 dB nach R aufgelöst, ergibt sich – abgeleitet, das Fenster zeigt "
                   "r<sub>C</sub> nicht an –</p>"
                   "<p style=\"margin-left:24px\">r<sub>C</sub> = 4 m · 10<sup>(L<sub>4</sub> − 45 dB) / "
                   "({k:3.3} · DL<sub>2</sub>)</sup> &nbsp;&nbsp;für DL<sub>2</sub> &gt; 0.</p>"
                   "<p>Für DL<sub>2</sub> ≤ 0 nimmt der Pegel mit dem Abstand nicht ab, und es gibt kein "
                   "endliches r<sub>C</sub>.</p>"),
               mark);
}

QString keypadHandbook(int level, const QString& mark)
{
    return heading(level, QStringLiteral("Was die Tasten bedeuten")) +
           withMark(
               QStringLiteral(
                   "<p><b>„+“ addiert zwei Pegel energetisch:</b> das Ergebnis ist der Gesamtpegel zweier "
                   "inkohärenter, voneinander unabhängiger Schallquellen. Addiert werden nicht die Pegel, sondern "
                   "die Schallenergien:</p>"
                   "<p style=\"margin-left:24px\">L = 10 · lg(10<sup>{k:0.1} · L<sub>1</sub></sup> + "
                   "10<sup>{k:0.1} · L<sub>2</sub></sup>)</p>"
                   "<p>Zwei gleich laute Quellen ergeben rund 3 dB mehr als eine; ist eine Quelle viel leiser "
                   "als die andere, ändert sie den Gesamtpegel kaum.</p>"
                   "<p><b>„x“ vervielfacht die Schallenergie eines Pegels:</b> das Ergebnis ist der Pegel von n "
                   "gleich lauten Quellen:</p>"
                   "<p style=\"margin-left:24px\">L = 10 · lg(10<sup>{k:0.1} · L<sub>1</sub></sup> · n) "
                   "= L<sub>1</sub> + 10 · lg n</p>"
                   "<p>Die doppelte Anzahl ergibt rund 3 dB mehr, die zehnfache 10 dB mehr. Zuerst den Pegel, "
                   "dann die Anzahl eingeben: die Reihenfolge zählt.</p>") +
                   QStringLiteral(
                       "<p>Ziffern und Punkt bauen die Zahl in der Anzeige auf. Eine Rechentaste übernimmt die "
                       "Anzeige als Operand 1, „=“ die Anzeige als Operand 2 und rechnet; das Ergebnis wird auf "
                       "eine Nachkommastelle gerundet (bei genau halber Stelle zur geraden Ziffer) und immer mit "
                       "Punkt angezeigt, mit einem Leerzeichen vor nicht negativen Werten. „C“ setzt alles auf "
                       "0.</p>"
                       "<p>Eine Rechentaste rechnet eine offene Rechnung nicht aus: bei 1 + 2 + 3 = ersetzt das "
                       "zweite „+“ den ersten Operanden, das Ergebnis ist 2 + 3. Für mehr als zwei Pegel nach "
                       "jedem Paar „=“ drücken und mit „+“ weiterrechnen – das Ergebnis wird zum nächsten "
                       "Operanden 1. Operanden und eine offene Rechnung bleiben auch nach CLOSE erhalten, bis "
                       "„C“ gedrückt wird.</p>"),
               mark) +
           heading(level, QStringLiteral("Grenzen")) +
           withMark(
               QStringLiteral(
                   "<p>„x“ mit einer Anzahl von 0 oder weniger hat keinen Logarithmus; Pegel über etwa "
                   "{k:3082.5} dB übersteigen den Zahlenbereich; eine Anzeige mit mehr Ziffern, als eine "
                   "Zahl fassen kann, lässt sich nicht lesen. Das Fenster gibt dann einen Signalton und "
                   "zeigt den Hinweis „Berechnung nicht möglich – bitte Eingaben prüfen.“; die Anzeige "
                   "und die Operanden bleiben, nur Operand 2 hat schon den Wert der Anzeige "
                   "übernommen.</p>"),
               mark);
}

}  // namespace orvella::help
