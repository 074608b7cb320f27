-- A history file as the first program with a history (schema 1) wrote it,
-- with one entry. Kept as it is: the tests open it with every later program.
CREATE TABLE entry ( id INTEGER PRIMARY KEY, time_utc_ms INTEGER NOT NULL, calculator_id TEXT NOT NULL, window TEXT NOT NULL, calculator TEXT NOT NULL, part TEXT NOT NULL, program_version TEXT NOT NULL, expression TEXT NOT NULL, note TEXT NOT NULL DEFAULT '', search TEXT NOT NULL);
CREATE INDEX entry_by_time ON entry (time_utc_ms, id, calculator_id, search);
CREATE TABLE quantity ( entry_id INTEGER NOT NULL REFERENCES entry (id) ON DELETE CASCADE, kind TEXT NOT NULL CHECK (kind IN ('input', 'result')), position INTEGER NOT NULL, key TEXT NOT NULL, label TEXT NOT NULL, unit TEXT NOT NULL, field TEXT NOT NULL, text TEXT NOT NULL, number REAL, PRIMARY KEY (entry_id, kind, position)) WITHOUT ROWID;
INSERT INTO entry VALUES (7, 1760000000000, 'frmSchall.l', 'frmSchall', 'Schallleistung - Schalldruck', 'Schallleistungspegel', '1.2.0', '', 'Büro 2. OG', 'schallleistung - schalldruck (schallleistungspegel)
schalldruckpegel 60.5 db
abstand 4 m
schallleistungspegel 79.53 db
büro 2. og');
INSERT INTO quantity VALUES (7, 'input', 0, 'Lp', 'Schalldruckpegel', 'dB', 'txPegel_l', '60,5', 60.5);
INSERT INTO quantity VALUES (7, 'input', 1, 'r', 'Abstand', 'm', 'txAbstand_l', '4', 4.0);
INSERT INTO quantity VALUES (7, 'result', 0, 'Lw', 'Schallleistungspegel', 'dB', 'txLeistug_l', '79,53', NULL);
PRAGMA application_id = 1330796108;
PRAGMA user_version = 1;
