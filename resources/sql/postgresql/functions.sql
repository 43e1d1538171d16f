-- Functions shared by the program's raw conditions and by the stored procedures.

-- Oracle's one-argument to_number, as the room search writes it over the counts kept as text
-- ("to_number(SAL_TABLEAU) > 3"): NULL for a NULL, an empty or a non-numeric text, never an error, so that
-- one badly typed count does not break a search. Trailing zeros of the fraction are dropped ("2.80" is
-- 2.8), as the embedded database stores such a number. A number of 309 digits or more before its point is
-- no number either: the embedded database, which keeps doubles, refuses the same values. Written in SQL so
-- that the planner inlines it.
CREATE OR REPLACE FUNCTION locavia.to_number(value text) RETURNS numeric
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
    SELECT CASE
        WHEN value !~ '^\s*[+-]?([0-9]+(\.[0-9]*)?|\.[0-9]+)([eE][+-]?[0-9]{1,3})?\s*$' THEN NULL
        WHEN abs(btrim(value)::numeric) < 1e308 THEN trim_scale(btrim(value)::numeric)
    END
$$;

CREATE OR REPLACE FUNCTION locavia.to_number(value numeric) RETURNS numeric
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
    SELECT trim_scale(value)
$$;

-- A key given as text ("12", 12.0): the integer, or NULL when the text holds no whole number that a key
-- column can hold (such a key then matches no row, as on the embedded database).
CREATE OR REPLACE FUNCTION locavia.to_key(value text) RETURNS integer
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
    SELECT CASE
        WHEN n = trunc(n) AND n BETWEEN -2147483648 AND 2147483647 THEN n::integer
    END
    FROM (SELECT locavia.to_number(value) AS n) AS number
$$;

-- The checks of the procedures. Each raises its French message as the error the user reads.
CREATE OR REPLACE FUNCTION locavia.refuse(message text) RETURNS void
LANGUAGE plpgsql AS $$
BEGIN
    RAISE EXCEPTION USING MESSAGE = message, ERRCODE = 'P0001';
END
$$;

-- Required: NULL and '' are missing.
CREATE OR REPLACE FUNCTION locavia.check_given(value text, message text) RETURNS void
LANGUAGE plpgsql AS $$
BEGIN
    IF NULLIF(value, '') IS NULL THEN
        PERFORM locavia.refuse(message);
    END IF;
END
$$;

-- Required text: blanks only are missing too.
CREATE OR REPLACE FUNCTION locavia.check_filled(value text, message text) RETURNS void
LANGUAGE plpgsql AS $$
BEGIN
    IF NULLIF(btrim(value), '') IS NULL THEN
        PERFORM locavia.refuse(message);
    END IF;
END
$$;

CREATE OR REPLACE FUNCTION locavia.check_width(value text, width integer, message text) RETURNS void
LANGUAGE plpgsql AS $$
BEGIN
    IF length(value) > width THEN
        PERFORM locavia.refuse(message);
    END IF;
END
$$;

-- Optional whole number, zero or more, that an INTEGER column holds.
CREATE OR REPLACE FUNCTION locavia.check_count(value text, message text) RETURNS void
LANGUAGE plpgsql AS $$
DECLARE
    n numeric := locavia.to_number(value);
BEGIN
    IF NULLIF(value, '') IS NOT NULL AND (n IS NULL OR n < 0 OR n <> trunc(n) OR abs(n) > 2147483647) THEN
        PERFORM locavia.refuse(message);
    END IF;
END
$$;

-- Optional whole number of any sign that an INTEGER column holds.
CREATE OR REPLACE FUNCTION locavia.check_whole(value text, message text) RETURNS void
LANGUAGE plpgsql AS $$
DECLARE
    n numeric := locavia.to_number(value);
BEGIN
    IF NULLIF(value, '') IS NOT NULL AND (n IS NULL OR n <> trunc(n) OR abs(n) > 2147483647) THEN
        PERFORM locavia.refuse(message);
    END IF;
END
$$;

-- Optional number, zero or more.
CREATE OR REPLACE FUNCTION locavia.check_positive(value text, message text) RETURNS void
LANGUAGE plpgsql AS $$
DECLARE
    n numeric := locavia.to_number(value);
BEGIN
    IF NULLIF(value, '') IS NOT NULL AND (n IS NULL OR n < 0) THEN
        PERFORM locavia.refuse(message);
    END IF;
END
$$;

-- Optional number from 0 to 100.
CREATE OR REPLACE FUNCTION locavia.check_percentage(value text, message text) RETURNS void
LANGUAGE plpgsql AS $$
DECLARE
    n numeric := locavia.to_number(value);
BEGIN
    IF NULLIF(value, '') IS NOT NULL AND (n IS NULL OR n NOT BETWEEN 0 AND 100) THEN
        PERFORM locavia.refuse(message);
    END IF;
END
$$;

-- Optional yes/no flag: 'O' or 'N'.
CREATE OR REPLACE FUNCTION locavia.check_flag(value text, message text) RETURNS void
LANGUAGE plpgsql AS $$
BEGIN
    IF NULLIF(value, '') IS NOT NULL AND value NOT IN ('O', 'N') THEN
        PERFORM locavia.refuse(message);
    END IF;
END
$$;

-- Who may write. The procedures run with the rights of the schemas' owner, so the server checks the
-- session's login itself, as the client's rights test does: the first account of that login, its person,
-- and a membership of that person in a group that SALLE_STRUCTURE lets manage the rooms. Anyone else of the
-- clients' group may read, but a procedure called by hand (psql) refuses to write. The schemas' owner and
-- superusers administer the database and pass.
CREATE OR REPLACE FUNCTION locavia.check_rights() RETURNS void
LANGUAGE plpgsql STABLE SET search_path = locavia, pg_temp AS $$
BEGIN
    IF EXISTS (SELECT 1 FROM pg_roles WHERE rolname = session_user AND rolsuper)
       OR pg_has_role(session_user, (SELECT nspowner FROM pg_namespace WHERE nspname = 'locavia'), 'MEMBER') THEN
        RETURN;
    END IF;
    IF NOT EXISTS (
        SELECT 1
        FROM (SELECT PERS_ID FROM solma.REPART_COMPTE WHERE CPT_LOGIN = session_user
              ORDER BY CPT_ORDRE LIMIT 1) AS account
        JOIN solma.REPART_STRUCTURE membership ON membership.PERS_ID = account.PERS_ID
        JOIN solma.SOLMA_PARAMETRES allowed
            ON allowed.PARAM_KEY = 'SALLE_STRUCTURE' AND allowed.PARAM_VALUE = membership.C_STRUCTURE
    ) THEN
        PERFORM refuse('Droits insuffisants : le compte « ' || session_user || ' » n''est membre d''aucun '
                       || 'groupe autorisé à gérer les salles ; rien n''a été modifié.');
    END IF;
END
$$;

-- The holds of a save. A save of a room or of a building is one transaction that first holds the record,
-- then compares it with what the modification began from: another save of the same record waits, then
-- finds it changed, rather than writing between this one's steps. The hold is the record's row locked until
-- that transaction ends. The clients' group cannot lock rows itself (it may only read); these functions run
-- with the owner's rights and let only a room manager hold a record, so that nobody else can make a
-- manager's save wait. True when the record exists.
CREATE OR REPLACE FUNCTION locavia.tenir_salle(numero text) RETURNS boolean
LANGUAGE plpgsql SECURITY DEFINER SET search_path = locavia, pg_temp AS $$
BEGIN
    PERFORM check_rights();
    PERFORM 1 FROM solma.SALLES WHERE SAL_NUMERO = to_key(numero) FOR UPDATE;
    RETURN FOUND;
END
$$;

CREATE OR REPLACE FUNCTION locavia.tenir_batiment(code text) RETURNS boolean
LANGUAGE plpgsql SECURITY DEFINER SET search_path = locavia, pg_temp AS $$
BEGIN
    PERFORM check_rights();
    PERFORM 1 FROM solma.LOCAL WHERE C_LOCAL = code FOR UPDATE;
    RETURN FOUND;
END
$$;
