// SPDX-License-Identifier: GPL-3.0-or-later
#include "school/ServerSchema.h"

#include "school/PgConnection.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <libpq-fe.h>

namespace zampli {

namespace {

// The server's tables carry the names of a results file's. The computers
// never touch a table: they call deliver(), which checks what they send and
// adds it once, whatever the retries. "window" and "right" are words of
// SQL, hence quoted.
const char kSchema[] = R"SQL(
CREATE SCHEMA zampli;
CREATE TABLE zampli.school(
  one integer PRIMARY KEY CHECK (one = 1),
  version integer NOT NULL,
  time_zone text NOT NULL,            -- the school's days are counted in it
  computers_role text NOT NULL,
  computers_password text NOT NULL);  -- opens nothing but deliver()
CREATE TABLE zampli.children(
  id bigserial PRIMARY KEY,
  name text NOT NULL CHECK (length(name) BETWEEN 1 AND 80),
  created_ms bigint NOT NULL,
  erased_ms bigint);                  -- erased by the teacher: her answers are refused from then on
CREATE UNIQUE INDEX children_name ON zampli.children (lower(name)) WHERE erased_ms IS NULL;
CREATE TABLE zampli.sessions(
  id bigserial PRIMARY KEY,
  copy text NOT NULL,
  computer text NOT NULL,
  account text NOT NULL,
  uid text NOT NULL,
  child_id bigint REFERENCES zampli.children(id),
  started_ms bigint NOT NULL,
  ended_ms bigint NOT NULL,
  arrived_ms bigint NOT NULL,
  UNIQUE (copy, computer, account, uid));
CREATE INDEX sessions_child ON zampli.sessions(child_id);
CREATE TABLE zampli.answers(
  id bigserial PRIMARY KEY,
  session_id bigint NOT NULL REFERENCES zampli.sessions(id) ON DELETE CASCADE,
  seq integer NOT NULL CHECK (seq >= 1),
  at_ms bigint NOT NULL,
  "window" text NOT NULL CHECK ("window" ~ '^FormZampli[0-9]{1,2}$'),
  turn integer NOT NULL CHECK (turn BETWEEN 0 AND 100000),
  asked text NOT NULL CHECK (asked IN ('A', 'E', 'I', 'O', 'U')),
  asked_as text NOT NULL CHECK (asked_as IN ('voce', 'lettera', 'faccia', 'parola', 'tessera')),
  asked_style integer NOT NULL CHECK (asked_style BETWEEN 0 AND 4),
  word text CHECK (length(word) <= 80),
  chosen text NOT NULL CHECK (chosen IN ('A', 'E', 'I', 'O', 'U')),
  chosen_as text NOT NULL CHECK (chosen_as IN ('voce', 'lettera', 'faccia', 'parola', 'tessera')),
  chosen_style integer NOT NULL CHECK (chosen_style BETWEEN 0 AND 4),
  "right" integer NOT NULL CHECK ("right" IN (0, 1)),
  answer_ms bigint NOT NULL,
  UNIQUE (session_id, seq));
CREATE INDEX answers_at ON zampli.answers(at_ms);
-- Counts kept as answers arrive, per child (0: nobody named), school day,
-- kind of question, vowel asked and vowel chosen.
CREATE TABLE zampli.summaries(
  child_id bigint NOT NULL,
  day date NOT NULL,
  asked_as text NOT NULL,
  chosen_as text NOT NULL,
  style integer NOT NULL,
  asked text NOT NULL,
  chosen text NOT NULL,
  answers bigint NOT NULL,
  right_answers bigint NOT NULL,
  PRIMARY KEY (child_id, day, asked_as, chosen_as, style, asked, chosen));

CREATE FUNCTION zampli.deliver(p_copy text, p_computer text, p_account text, p_uid text, p_child bigint,
                               p_started bigint, p_ended bigint, p_answers jsonb) RETURNS text
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
  child zampli.children;
  session bigint;
  zone text;
BEGIN
  IF p_copy !~ '^[0-9a-f]{32}$' OR length(p_computer) NOT BETWEEN 1 AND 64
     OR length(p_account) NOT BETWEEN 1 AND 64 OR p_uid !~ '^[0-9a-f]{32}$'
     OR p_started IS NULL OR p_ended IS NULL OR p_ended < p_started
     OR jsonb_typeof(p_answers) IS DISTINCT FROM 'array' OR jsonb_array_length(p_answers) > 5000 THEN
    RAISE EXCEPTION 'zampli: consegna non valida' USING ERRCODE = '22023';
  END IF;
  IF p_child IS NOT NULL THEN
    -- Shared, so that an erase waits for this delivery or this one sees it.
    SELECT * INTO child FROM zampli.children WHERE id = p_child FOR SHARE;
    IF NOT FOUND THEN
      p_child := NULL;  -- a child of another server: the session is nobody's
    ELSIF child.erased_ms IS NOT NULL THEN
      RETURN 'cancellato';
    END IF;
  END IF;
  INSERT INTO zampli.sessions AS s (copy, computer, account, uid, child_id, started_ms, ended_ms, arrived_ms)
  VALUES (p_copy, p_computer, p_account, p_uid, p_child, p_started, p_ended,
          (extract(epoch FROM clock_timestamp()) * 1000)::bigint)
  ON CONFLICT (copy, computer, account, uid) DO UPDATE SET ended_ms = greatest(s.ended_ms, EXCLUDED.ended_ms)
  RETURNING id, child_id INTO session, p_child;
  SELECT time_zone INTO zone FROM zampli.school;
  WITH added AS (
    INSERT INTO zampli.answers (session_id, seq, at_ms, "window", turn, asked, asked_as, asked_style, word,
                                chosen, chosen_as, chosen_style, "right", answer_ms)
    SELECT session, a.seq, a.at_ms, a."window", a.turn, a.asked, a.asked_as, a.asked_style, a.word,
           a.chosen, a.chosen_as, a.chosen_style, a."right", a.answer_ms
    FROM jsonb_to_recordset(p_answers) AS a(seq integer, at_ms bigint, "window" text, turn integer, asked text,
         asked_as text, asked_style integer, word text, chosen text, chosen_as text, chosen_style integer,
         "right" integer, answer_ms bigint)
    ON CONFLICT (session_id, seq) DO NOTHING
    RETURNING at_ms, asked_as, chosen_as, asked_style, chosen_style, asked, chosen, "right")
  INSERT INTO zampli.summaries AS t
  SELECT coalesce(p_child, 0), (to_timestamp(at_ms / 1000.0) AT TIME ZONE zone)::date, asked_as, chosen_as,
         CASE WHEN asked_as = 'lettera' THEN asked_style WHEN chosen_as = 'lettera' THEN chosen_style ELSE 0 END,
         asked, chosen, count(*), sum("right")
  FROM added GROUP BY 1, 2, 3, 4, 5, 6, 7
  ON CONFLICT (child_id, day, asked_as, chosen_as, style, asked, chosen)
  DO UPDATE SET answers = t.answers + EXCLUDED.answers, right_answers = t.right_answers + EXCLUDED.right_answers;
  RETURN 'ok';
END $$;

CREATE FUNCTION zampli.add_child(p_name text) RETURNS bigint
LANGUAGE sql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
  INSERT INTO zampli.children(name, created_ms)
  VALUES (btrim(p_name), (extract(epoch FROM clock_timestamp()) * 1000)::bigint) RETURNING id
$$;

CREATE FUNCTION zampli.rename_child(p_id bigint, p_name text) RETURNS void
LANGUAGE sql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
  UPDATE zampli.children SET name = btrim(p_name) WHERE id = p_id AND erased_ms IS NULL
$$;

-- Her answers go; her row stays, nameless, so that a computer that still
-- holds some of them is told she was erased and never puts them back.
CREATE FUNCTION zampli.erase_child(p_id bigint) RETURNS bigint
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
  gone bigint;
BEGIN
  UPDATE zampli.children SET erased_ms = (extract(epoch FROM clock_timestamp()) * 1000)::bigint,
         name = '#' || id
  WHERE id = p_id AND erased_ms IS NULL;
  SELECT count(*) INTO gone FROM zampli.answers a JOIN zampli.sessions s ON s.id = a.session_id
  WHERE s.child_id = p_id;
  DELETE FROM zampli.sessions WHERE child_id = p_id;
  DELETE FROM zampli.summaries WHERE child_id = p_id;
  RETURN gone;
END $$;
)SQL";

const int kVersion = 1;

QString newPassword()
{
    static const char letters[] = "abcdefghijkmnpqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789";
    QString out;
    for (int i = 0; i < 24; ++i)
        out += QLatin1Char(letters[QRandomGenerator::system()->bounded(int(sizeof letters - 1))]);
    return out;
}

QByteArray quotedIdentifier(PgConnection &db, const QString &name)
{
    const QByteArray utf8 = name.toUtf8();
    char *q = PQescapeIdentifier(db.handle(), utf8.constData(), size_t(utf8.size()));
    const QByteArray out(q ? q : "");
    PQfreemem(q);
    return out;
}

QByteArray quotedLiteral(PgConnection &db, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    char *q = PQescapeLiteral(db.handle(), utf8.constData(), size_t(utf8.size()));
    const QByteArray out(q ? q : "");
    PQfreemem(q);
    return out;
}

} // namespace

SchoolRoles SchoolRoles::of(const QString &database)
{
    // Role names are at most 63 bytes; a database's name may use them all.
    const QString base = database.left(40);
    return {base + QStringLiteral("_computer"), base + QStringLiteral("_insegnante")};
}

int schoolSchemaVersion(PgConnection &db)
{
    PgResult r = db.exec("SELECT CASE WHEN to_regclass('zampli.school') IS NULL THEN 0 "
                         "ELSE (SELECT version FROM zampli.school) END");
    return r.ok() && r.rows() == 1 && !r.isNull(0, 0) ? int(r.number(0, 0)) : 0;
}

QString deliveryRefused(PgConnection &db)
{
    // The computers' role reads no table, not even the version: what it may
    // run is what a copy needs. A role that may read zampli.school is checked
    // against the version too.
    PgResult r = db.exec(
        "SELECT p IS NOT NULL, p IS NOT NULL AND has_function_privilege(p, 'EXECUTE'), current_database(), "
        "current_user, to_regclass('zampli.school') IS NOT NULL AND has_table_privilege('zampli.school', 'SELECT') "
        "FROM to_regprocedure('zampli.deliver(text, text, text, text, bigint, bigint, bigint, jsonb)') AS p");
    if (!db.check(r))
        return db.error();
    if (r.text(0, 0) != QLatin1String("t"))
        return QStringLiteral("il database «%1» non è preparato per ZAMPLI").arg(r.text(0, 2));
    if (r.text(0, 4) == QLatin1String("t")) {
        const int version = schoolSchemaVersion(db);
        if (version > kVersion)
            return QStringLiteral("il database «%1» è di una versione più nuova di ZAMPLI").arg(r.text(0, 2));
        if (version != kVersion)
            return QStringLiteral("il database «%1» non è preparato per ZAMPLI").arg(r.text(0, 2));
    }
    if (r.text(0, 1) != QLatin1String("t"))
        return QStringLiteral("il ruolo «%1» non è quello dei computer e non può consegnare le risposte").arg(r.text(0, 3));
    return {};
}

bool prepareSchool(PgConnection &db, PreparedSchool &made, QString &error)
{
    PgResult name = db.exec("SELECT current_database(), current_setting('TimeZone'), "
                            "to_regnamespace('zampli') IS NOT NULL");
    if (!db.check(name)) {
        error = db.error();
        return false;
    }
    const QString database = name.text(0, 0);
    if (name.text(0, 2) == QLatin1String("t")) {
        error = QStringLiteral("il database «%1» ha già le tabelle di ZAMPLI: non lo preparo una seconda volta").arg(database);
        return false;
    }
    made.roles = SchoolRoles::of(database);
    made.computersPassword = newPassword();
    made.teacherPassword = newPassword();
    const QByteArray computers = quotedIdentifier(db, made.roles.computers);
    const QByteArray teacher = quotedIdentifier(db, made.roles.teacher);
    const QByteArray databaseId = quotedIdentifier(db, database);
    const QByteArray sql =
        QByteArray("BEGIN;") + kSchema +
        "INSERT INTO zampli.school VALUES (1, " + QByteArray::number(kVersion) + ", " +
        quotedLiteral(db, name.text(0, 1)) + ", " + quotedLiteral(db, made.roles.computers) + ", " +
        quotedLiteral(db, made.computersPassword) + ");"
        "CREATE ROLE " + computers + " LOGIN PASSWORD " + quotedLiteral(db, made.computersPassword) + ";"
        "CREATE ROLE " + teacher + " LOGIN PASSWORD " + quotedLiteral(db, made.teacherPassword) + ";"
        // Nothing for anyone but what is granted below.
        "REVOKE ALL ON DATABASE " + databaseId + " FROM PUBLIC;"
        "GRANT CONNECT ON DATABASE " + databaseId + " TO " + computers + ", " + teacher + ";"
        "REVOKE ALL ON SCHEMA public FROM PUBLIC;"
        "REVOKE ALL ON ALL FUNCTIONS IN SCHEMA zampli FROM PUBLIC;"
        "GRANT USAGE ON SCHEMA zampli TO " + computers + ", " + teacher + ";"
        "GRANT EXECUTE ON FUNCTION zampli.deliver(text, text, text, text, bigint, bigint, bigint, jsonb) TO " +
        computers + ";"
        "GRANT SELECT ON ALL TABLES IN SCHEMA zampli TO " + teacher + ";"
        "GRANT EXECUTE ON FUNCTION zampli.add_child(text), zampli.rename_child(bigint, text), "
        "zampli.erase_child(bigint) TO " + teacher + ";"
        "COMMIT;";
    PgResult r = db.exec(sql.constData());
    if (!r.ok()) {
        const QByteArray state = r.sqlState();
        db.exec("ROLLBACK");
        if (state == "42501")
            error = QStringLiteral("chi prepara il database deve poterne creare i ruoli (CREATEROLE): "
                                   "preparalo come proprietario del database con quel permesso, o come postgres");
        else if (state == "42710")
            error = QStringLiteral("i ruoli «%1» e «%2» ci sono già sul server: un altro database con lo stesso "
                                   "nome li usa; scegli un altro nome per il database")
                        .arg(made.roles.computers, made.roles.teacher);
        else {
            db.check(r);
            error = db.error();
        }
        return false;
    }
    return true;
}

} // namespace zampli
