-- Functions that report SQL calls once it is translated for the server (data/JetSql.h), with
-- the meaning the desktop engine gives them, as data/JetFunctions.cpp does on the files.
-- The files type values row by row; here a function has one version per argument type:
-- where a number is asked for, text counts as the number it reads as (else "Type mismatch");
-- where text is asked for, a number counts as its text. Dates are ISO text, as the tables hold
-- them. A function with a Null argument gives Null unless said otherwise.
--
-- Most functions are plain SQL expressions the server writes into the statement that calls them,
-- so they cost about what the expression does. Such a function takes Null arguments (it is not
-- STRICT) and says what a Null gives.
CREATE EXTENSION IF NOT EXISTS citext;

-- Stops the statement with a message. It is STABLE, and so is every function that calls it: the
-- server evaluates IMMUTABLE calls of literals while it plans a statement, also where the
-- statement would never reach them.
CREATE OR REPLACE FUNCTION jet_fail(message text, about anyelement) RETURNS anyelement LANGUAGE plpgsql STABLE AS $$
BEGIN
    RAISE EXCEPTION '%', message;
END $$;

-- A number as the desktop engine shows it: whole numbers without a point, others to 15
-- significant digits, very small and very large ones with an exponent.
CREATE OR REPLACE FUNCTION jet_str_exponent(v double precision) RETURNS text LANGUAGE plpgsql IMMUTABLE STRICT AS $$
BEGIN
    RETURN regexp_replace(btrim(to_char(v, '9.99999999999999EEEE')), '\.?0*e', 'e');
END $$;
CREATE OR REPLACE FUNCTION jet_str(v double precision) RETURNS text LANGUAGE sql IMMUTABLE AS $$
SELECT CASE WHEN v = trunc(v) AND abs(v) < 1e15 THEN v::bigint::text
    WHEN abs(v) < 1e-4 OR abs(v) >= 1e15 THEN jet_str_exponent(v) ELSE v::numeric::text END $$;
CREATE OR REPLACE FUNCTION jet_str(v bigint) RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT v::text $$;
CREATE OR REPLACE FUNCTION jet_str(v text) RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT v $$;

-- Text as the number it reads as: thousands separators and a percent sign understood, blanks
-- around it ignored. Other text is a type mismatch in fn, or Null when fn is Null.
CREATE OR REPLACE FUNCTION jet_num(v text, fn text) RETURNS double precision LANGUAGE sql STABLE AS $$
SELECT CASE WHEN v IS NULL THEN NULL
    WHEN v ~ '^\s*[+-]?(\d{1,3}(,\d{3})+(\.\d*)?|\d+(\.\d*)?|\.\d+)([eE][+-]?\d+)?\s*%?\s*$'
    THEN replace(replace(v, ',', ''), '%', '')::double precision / CASE WHEN strpos(v, '%') > 0 THEN 100 ELSE 1 END
    WHEN fn IS NOT NULL THEN jet_fail('Type mismatch in ' || fn, v)::double precision END $$;

-- The date that text starting 'YYYY-MM-DD' names, or Null.
CREATE OR REPLACE FUNCTION jet_date(v text) RETURNS date LANGUAGE sql IMMUTABLE AS $$
SELECT CASE WHEN v ~ '^\d{4}-(0[1-9]|1[0-2])-(0[1-9]|[12]\d|3[01])' AND left(v, 4) <> '0000' THEN
    CASE WHEN substr(v, 9, 2)::int <= extract(day FROM make_date(left(v, 4)::int, substr(v, 6, 2)::int, 1)
                                                      + interval '1 month - 1 day')
    THEN make_date(left(v, 4)::int, substr(v, 6, 2)::int, substr(v, 9, 2)::int) END END $$;

-- A date as the tables hold it: the date alone or followed by a time.
CREATE OR REPLACE FUNCTION jet_isdate(v text) RETURNS boolean LANGUAGE sql IMMUTABLE AS $$
SELECT (length(v) = 10 OR substr(v, 11, 1) IN (' ', 'T')) AND jet_date(v) IS NOT NULL $$;

CREATE OR REPLACE FUNCTION jet_datetext(d date) RETURNS text LANGUAGE plpgsql IMMUTABLE STRICT AS $$
BEGIN
    RETURN to_char(d, 'YYYY-MM-DD');
END $$;

-- A value as a date where one is asked for: a number counts days from 30 December 1899; blank
-- text gives Null, other text that is no date a type mismatch in fn.
CREATE OR REPLACE FUNCTION jet_dateof(v double precision, fn text) RETURNS date LANGUAGE sql IMMUTABLE AS $$
SELECT date '1899-12-30' + floor(v)::int $$;
CREATE OR REPLACE FUNCTION jet_dateof(v text, fn text) RETURNS date LANGUAGE sql STABLE AS $$
SELECT CASE WHEN v IS NULL OR btrim(v, E' \t\r\n\f\v') = '' THEN NULL
    ELSE coalesce(jet_date(left(btrim(v, E' \t\r\n\f\v'), 10)), jet_fail('Type mismatch in ' || fn, jet_date(v))) END $$;

-- A number rounded to a whole one, a half to the even neighbour, that must lie in [low, high].
CREATE OR REPLACE FUNCTION jet_whole(v double precision, fn text, low double precision, high double precision) RETURNS bigint
LANGUAGE sql STABLE AS $$
SELECT CASE WHEN v IS NULL THEN NULL WHEN round(v) BETWEEN low AND high THEN round(v)::bigint
    ELSE jet_fail('Overflow in ' || fn, v)::bigint END $$;

-- Comparisons ignore the case of text, also of computed text; numbers stay numbers.
CREATE OR REPLACE FUNCTION jet_ci(v text) RETURNS citext LANGUAGE sql IMMUTABLE AS $$ SELECT v::citext $$;
CREATE OR REPLACE FUNCTION jet_ci(v citext) RETURNS citext LANGUAGE sql IMMUTABLE AS $$ SELECT v $$;
CREATE OR REPLACE FUNCTION jet_ci(v double precision) RETURNS double precision LANGUAGE sql IMMUTABLE AS $$ SELECT v $$;
CREATE OR REPLACE FUNCTION jet_ci(v bigint) RETURNS bigint LANGUAGE sql IMMUTABLE AS $$ SELECT v $$;

-- A value where a condition is asked for: anything but 0 is true.
CREATE OR REPLACE FUNCTION jet_bool(v double precision) RETURNS boolean LANGUAGE sql IMMUTABLE AS $$ SELECT v <> 0 $$;
CREATE OR REPLACE FUNCTION jet_bool(v text) RETURNS boolean LANGUAGE sql STABLE AS $$ SELECT jet_num(v, NULL) <> 0 $$;

-- IIf(condition, when true, when false): both branches must share a type.
CREATE OR REPLACE FUNCTION jet_iif(c boolean, a anycompatible, b anycompatible) RETURNS anycompatible
LANGUAGE sql IMMUTABLE
AS $$ SELECT CASE WHEN c THEN a ELSE b END $$;
CREATE OR REPLACE FUNCTION jet_iif(c double precision, a anycompatible, b anycompatible) RETURNS anycompatible
LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN c <> 0 THEN a ELSE b END $$;
CREATE OR REPLACE FUNCTION jet_iif(c text, a anycompatible, b anycompatible) RETURNS anycompatible LANGUAGE sql STABLE
AS $$ SELECT CASE WHEN jet_num(c, 'IIF') <> 0 THEN a ELSE b END $$;

CREATE OR REPLACE FUNCTION jet_isnull(v anyelement) RETURNS bigint LANGUAGE sql IMMUTABLE AS $$
SELECT CASE WHEN v IS NULL THEN -1 ELSE 0 END::bigint $$;

-- Nz(value): Null as empty text, or as 0 where the value is a number.
CREATE OR REPLACE FUNCTION jet_nz(v text) RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT coalesce(v, '') $$;
CREATE OR REPLACE FUNCTION jet_nz(v double precision) RETURNS double precision
LANGUAGE sql IMMUTABLE AS $$ SELECT coalesce(v, 0) $$;
CREATE OR REPLACE FUNCTION jet_nz(v bigint) RETURNS bigint LANGUAGE sql IMMUTABLE AS $$ SELECT coalesce(v, 0) $$;
-- Nz(value, instead) for every pair of types: text where either is text.
DO $$
DECLARE
    a text;
    b text;
BEGIN
    FOREACH a IN ARRAY '{double precision,bigint,text}'::text[] LOOP
        FOREACH b IN ARRAY '{double precision,bigint,text}'::text[] LOOP
            EXECUTE format('CREATE OR REPLACE FUNCTION jet_nz(%s, %s) RETURNS %s LANGUAGE sql IMMUTABLE AS %L', a, b,
                           CASE WHEN a = b THEN a WHEN 'text' IN (a, b) THEN 'text' ELSE 'double precision' END,
                           CASE WHEN a = b OR 'text' NOT IN (a, b) THEN 'SELECT coalesce($1, $2)'
                                ELSE 'SELECT coalesce(jet_str($1), jet_str($2))' END);
        END LOOP;
    END LOOP;
END $$;

-- --- text ---

CREATE OR REPLACE FUNCTION jet_left(v text, n double precision) RETURNS text LANGUAGE sql STABLE AS $$
SELECT left(v, jet_whole(n, 'LEFT', 0, 2147483647)::int) $$;
CREATE OR REPLACE FUNCTION jet_right(v text, n double precision) RETURNS text LANGUAGE sql STABLE AS $$
SELECT right(v, jet_whole(n, 'RIGHT', 0, 2147483647)::int) $$;
CREATE OR REPLACE FUNCTION jet_mid(v text, start double precision) RETURNS text LANGUAGE sql STABLE AS $$
SELECT CASE WHEN v IS NULL OR start IS NULL THEN NULL
    WHEN jet_whole(start, 'MID', 0, 2147483647) < 1 THEN jet_fail('Invalid start in MID', v)
    ELSE substr(v, jet_whole(start, 'MID', 0, 2147483647)::int) END $$;
CREATE OR REPLACE FUNCTION jet_mid(v text, start double precision, n double precision) RETURNS text
LANGUAGE sql STABLE AS $$
SELECT CASE WHEN n IS NOT NULL THEN left(jet_mid(v, start), jet_whole(n, 'MID', 0, 2147483647)::int) END $$;
CREATE OR REPLACE FUNCTION jet_space(n double precision) RETURNS text LANGUAGE sql STABLE AS $$
SELECT repeat(' ', jet_whole(n, 'SPACE', 0, 2147483647)::int) $$;
CREATE OR REPLACE FUNCTION jet_ucase(v text) RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT upper(v) $$;
CREATE OR REPLACE FUNCTION jet_lcase(v text) RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT lower(v) $$;
CREATE OR REPLACE FUNCTION jet_len(v text) RETURNS bigint LANGUAGE sql IMMUTABLE AS $$ SELECT length(v)::bigint $$;
CREATE OR REPLACE FUNCTION jet_cstr(v text) RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT v $$;
-- Trim, LTrim and RTrim take off blanks only, not tabs or line breaks.
CREATE OR REPLACE FUNCTION jet_trim(v text) RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT btrim(v, ' ') $$;
CREATE OR REPLACE FUNCTION jet_ltrim(v text) RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT ltrim(v, ' ') $$;
CREATE OR REPLACE FUNCTION jet_rtrim(v text) RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT rtrim(v, ' ') $$;
-- & joins, a Null as empty text.
CREATE OR REPLACE FUNCTION jet_cat(a text, b text) RETURNS text LANGUAGE sql IMMUTABLE AS $$
SELECT coalesce(a, '') || coalesce(b, '') $$;

-- Like's pattern as a regular expression: * any text, ? one character, # one digit, [a-c] and
-- [!a-c] lists. A pattern written in the statement is turned once, as the statement is planned.
CREATE OR REPLACE FUNCTION jet_like_expression(pattern text) RETURNS text LANGUAGE plpgsql IMMUTABLE STRICT AS $$
DECLARE
    re text := '';
    ch text;
    i int := 1;
    close int;
BEGIN
    WHILE i <= length(pattern) LOOP
        ch := substr(pattern, i, 1);
        close := CASE WHEN ch = '[' THEN strpos(substr(pattern, i + 1), ']') ELSE 0 END;
        IF ch = '*' THEN
            re := re || '.*';
        ELSIF ch = '?' THEN
            re := re || '.';
        ELSIF ch = '#' THEN
            re := re || '[0-9]';
        ELSIF close > 0 THEN
            re := re || '[' || replace(regexp_replace(substr(pattern, i + 1, close - 1), '^!', '^'), '\', '\\') || ']';
            i := i + close;
        ELSE
            re := re || regexp_replace(ch, '([.^$*+?()\[\]{}|\\])', '\\\1');
        END IF;
        i := i + 1;
    END LOOP;
    RETURN '^(?:' || re || ')$';
END $$;
-- Case is ignored.
CREATE OR REPLACE FUNCTION jet_like(v text, pattern text) RETURNS boolean LANGUAGE sql IMMUTABLE AS $$
SELECT v ~* jet_like_expression(pattern) $$;

-- --- numbers ---

-- + joins two texts; a date and a number give the date that many days on; otherwise text
-- counts as its number. With text on one side the result is text.
CREATE OR REPLACE FUNCTION jet_add(a double precision, b double precision) RETURNS double precision
LANGUAGE sql IMMUTABLE
AS $$ SELECT a + b $$;
CREATE OR REPLACE FUNCTION jet_add(a text, b text) RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT a || b $$;
CREATE OR REPLACE FUNCTION jet_add(a text, b double precision) RETURNS text LANGUAGE sql STABLE AS $$
SELECT CASE WHEN a IS NULL OR b IS NULL THEN NULL
    WHEN jet_isdate(a) THEN jet_datetext(jet_date(a) + floor(b)::int) ELSE jet_str(jet_num(a, '+') + b) END $$;
CREATE OR REPLACE FUNCTION jet_add(a double precision, b text) RETURNS text LANGUAGE sql STABLE AS $$
SELECT jet_add(b, a) $$;

-- - : two dates give the days between them, a date less a number the date that many days
-- before; otherwise text counts as its number.
CREATE OR REPLACE FUNCTION jet_sub(a double precision, b double precision) RETURNS double precision
LANGUAGE sql IMMUTABLE
AS $$ SELECT a - b $$;
CREATE OR REPLACE FUNCTION jet_sub(a text, b double precision) RETURNS text LANGUAGE sql STABLE AS $$
SELECT CASE WHEN a IS NULL OR b IS NULL THEN NULL
    WHEN jet_isdate(a) THEN jet_datetext(jet_date(a) - floor(b)::int) ELSE jet_str(jet_num(a, '-') - b) END $$;
CREATE OR REPLACE FUNCTION jet_sub(a double precision, b text) RETURNS double precision LANGUAGE sql STABLE AS $$
SELECT CASE WHEN a IS NOT NULL THEN a - jet_num(b, '-') END $$;
CREATE OR REPLACE FUNCTION jet_sub(a text, b text) RETURNS double precision LANGUAGE sql STABLE AS $$
SELECT CASE WHEN a IS NULL OR b IS NULL THEN NULL
    WHEN jet_isdate(a) AND jet_isdate(b) THEN (jet_date(a) - jet_date(b))::double precision
    ELSE jet_num(a, '-') - jet_num(b, '-') END $$;

-- Whole results are never a negative zero, as the files keep them as whole numbers.
CREATE OR REPLACE FUNCTION jet_mul(a double precision, b double precision) RETURNS double precision
LANGUAGE sql IMMUTABLE
AS $$ SELECT a * b + 0 $$;
CREATE OR REPLACE FUNCTION jet_neg(a double precision) RETURNS double precision
LANGUAGE sql IMMUTABLE AS $$ SELECT 0 - a $$;
CREATE OR REPLACE FUNCTION jet_div(a double precision, b double precision) RETURNS double precision
LANGUAGE sql STABLE AS $$
SELECT CASE WHEN a IS NULL THEN NULL WHEN b = 0 THEN jet_fail('Division by zero', b) ELSE a / b END $$;
-- \ and Mod round both sides to whole numbers first.
CREATE OR REPLACE FUNCTION jet_divisor(b double precision, fn text) RETURNS bigint LANGUAGE sql STABLE AS $$
SELECT CASE WHEN jet_whole(b, fn, -9e15, 9e15) = 0 THEN jet_fail('Division by zero', jet_whole(b, fn, -9e15, 9e15))
    ELSE jet_whole(b, fn, -9e15, 9e15) END $$;
CREATE OR REPLACE FUNCTION jet_idiv(a double precision, b double precision) RETURNS bigint LANGUAGE sql STABLE AS $$
SELECT CASE WHEN a IS NOT NULL AND b IS NOT NULL THEN jet_whole(a, '\', -9e15, 9e15) / jet_divisor(b, '\') END $$;
CREATE OR REPLACE FUNCTION jet_mod(a double precision, b double precision) RETURNS bigint LANGUAGE sql STABLE AS $$
SELECT CASE WHEN a IS NOT NULL AND b IS NOT NULL THEN jet_whole(a, 'Mod', -9e15, 9e15) % jet_divisor(b, 'Mod') END $$;
CREATE OR REPLACE FUNCTION jet_pow(a double precision, b double precision) RETURNS double precision
LANGUAGE sql IMMUTABLE
AS $$ SELECT power(a, b) $$;

-- Round(value, places): a half to the even neighbour; a value a hair from a half, as decimal
-- fractions come out in binary, counts as the half.
CREATE OR REPLACE FUNCTION jet_round(v double precision, places double precision) RETURNS double precision
LANGUAGE plpgsql STABLE STRICT AS $$
DECLARE
    scale double precision := 10::double precision ^ jet_whole(places, 'ROUND', 0, 15);
    scaled double precision := v * scale;
    whole double precision := floor(scaled);
BEGIN
    IF abs(scaled - whole - 0.5) < 1e-9 * greatest(1.0, abs(scaled)) THEN
        RETURN CASE WHEN whole - 2 * floor(whole / 2) = 0 THEN whole ELSE whole + 1 END / scale + 0;
    END IF;
    RETURN round(scaled) / scale + 0;
END $$;
CREATE OR REPLACE FUNCTION jet_round(v double precision) RETURNS double precision LANGUAGE sql STABLE AS $$
SELECT jet_round(v, 0) $$;
CREATE OR REPLACE FUNCTION jet_int(v double precision) RETURNS double precision
LANGUAGE sql IMMUTABLE AS $$ SELECT floor(v) + 0 $$;
CREATE OR REPLACE FUNCTION jet_fix(v double precision) RETURNS double precision
LANGUAGE sql IMMUTABLE AS $$ SELECT trunc(v) + 0 $$;
CREATE OR REPLACE FUNCTION jet_cdbl(v double precision) RETURNS double precision
LANGUAGE sql IMMUTABLE AS $$ SELECT v $$;
CREATE OR REPLACE FUNCTION jet_cint(v double precision) RETURNS bigint LANGUAGE sql STABLE AS $$
SELECT jet_whole(v, 'CINT', -32768, 32767) $$;
CREATE OR REPLACE FUNCTION jet_clng(v double precision) RETURNS bigint LANGUAGE sql STABLE AS $$
SELECT jet_whole(v, 'CLNG', -2147483648, 2147483647) $$;
-- The leading number of a text; blanks anywhere are skipped, no number gives 0.
CREATE OR REPLACE FUNCTION jet_val(v text) RETURNS double precision LANGUAGE sql IMMUTABLE AS $$
SELECT coalesce(substring(regexp_replace(v, '\s', '', 'g') FROM '^[+-]?(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?'),
    CASE WHEN v IS NOT NULL THEN '0' END)::double precision $$;

-- --- dates ---

-- Month, Year and Day of a date as text or as a day number.
DO $$
DECLARE
    part text;
    type text;
BEGIN
    FOREACH part IN ARRAY '{month,year,day}'::text[] LOOP
        FOREACH type IN ARRAY '{double precision,text}'::text[] LOOP
            EXECUTE format('CREATE OR REPLACE FUNCTION %I(%s) RETURNS bigint LANGUAGE sql %s AS %L', 'jet_' || part, type,
                           CASE type WHEN 'text' THEN 'STABLE' ELSE 'IMMUTABLE' END,
                           format('SELECT extract(%s FROM jet_dateof($1, %L))::bigint', part, upper(part)));
        END LOOP;
    END LOOP;
END $$;

-- --- Format ---

-- "0" is a digit always shown, "#" one shown when needed, "," groups thousands, "." the point.
-- The value is taken at 15 significant digits, as the desktop engine shows it, and rounded
-- half away from zero: 1.005 to two places is 1.01.
CREATE OR REPLACE FUNCTION jet_format_number(v double precision, pattern text) RETURNS text
LANGUAGE plpgsql IMMUTABLE STRICT AS $$
DECLARE
    point int := strpos(pattern, '.');
    whole_pattern text := CASE WHEN point = 0 THEN pattern ELSE left(pattern, point - 1) END;
    fraction_pattern text := CASE WHEN point = 0 THEN '' ELSE replace(substr(pattern, point + 1), ',', '') END;
    digits text := round(abs(v)::numeric, length(fraction_pattern))::text;
    whole text := split_part(digits, '.', 1);
    fraction text := split_part(digits, '.', 2);
    shown int := length(fraction_pattern) - length(replace(fraction_pattern, '0', ''));
    zeros int := length(whole_pattern) - length(replace(whole_pattern, '0', ''));
    i int;
BEGIN
    WHILE length(fraction) > shown AND right(fraction, 1) = '0' LOOP
        fraction := left(fraction, -1);
    END LOOP;
    IF whole = '0' THEN
        whole := '';
    END IF;
    IF length(whole) < zeros THEN
        whole := lpad(whole, zeros, '0');
    END IF;
    IF strpos(whole_pattern, ',') > 0 THEN
        i := length(whole) - 3;
        WHILE i > 0 LOOP
            whole := left(whole, i) || ',' || substr(whole, i + 1);
            i := i - 3;
        END LOOP;
    END IF;
    RETURN CASE WHEN v < 0 AND whole || fraction ~ '[1-9]' THEN '-' ELSE '' END || whole
        || CASE WHEN point > 0 THEN '.' || fraction ELSE '' END;
END $$;

-- d, dd, ddd, dddd; m, mm, mmm, mmmm; yy, yyyy in any case; other characters stand for themselves.
CREATE OR REPLACE FUNCTION jet_format_date(d date, pattern text) RETURNS text LANGUAGE plpgsql IMMUTABLE STRICT AS $$
DECLARE
    days text[] := '{Monday,Tuesday,Wednesday,Thursday,Friday,Saturday,Sunday}';
    months text[] := '{January,February,March,April,May,June,July,August,September,October,November,December}';
    out text := '';
    letter text;
    run int;
    i int := 1;
BEGIN
    WHILE i <= length(pattern) LOOP
        letter := lower(substr(pattern, i, 1));
        run := 1;
        WHILE i + run <= length(pattern) AND lower(substr(pattern, i + run, 1)) = letter LOOP
            run := run + 1;
        END LOOP;
        out := out || CASE
            WHEN letter = 'd' AND run = 1 THEN extract(day FROM d)::text
            WHEN letter = 'd' AND run = 2 THEN to_char(d, 'DD')
            WHEN letter = 'd' AND run = 3 THEN left(days[extract(isodow FROM d)::int], 3)
            WHEN letter = 'd' THEN days[extract(isodow FROM d)::int]
            WHEN letter = 'm' AND run = 1 THEN extract(month FROM d)::text
            WHEN letter = 'm' AND run = 2 THEN to_char(d, 'MM')
            WHEN letter = 'm' AND run = 3 THEN left(months[extract(month FROM d)::int], 3)
            WHEN letter = 'm' THEN months[extract(month FROM d)::int]
            WHEN letter = 'y' AND run <= 2 THEN to_char(d, 'YY')
            WHEN letter = 'y' THEN extract(year FROM d)::text
            ELSE substr(pattern, i, run) END;
        i := i + run;
    END LOOP;
    RETURN out;
END $$;

-- Format(value, pattern): a number pattern applies to numbers and to text that reads as one, a
-- date pattern to dates (a number counts days from 30 December 1899); the named formats stand
-- for their patterns; anything else is shown as it is. num is the value where it is a number.
CREATE OR REPLACE FUNCTION jet_format_value(num double precision, txt text, pattern text) RETURNS text
LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE
    p text := coalesce(CASE lower(pattern)
        WHEN 'general number' THEN '' WHEN 'fixed' THEN '0.00' WHEN 'standard' THEN '#,##0.00'
        WHEN 'percent' THEN '0.00%' WHEN 'short date' THEN 'dd/mm/yyyy' WHEN 'medium date' THEN 'dd-mmm-yy'
        WHEN 'long date' THEN 'dd mmmm yyyy' ELSE pattern END, '');
    for_numbers boolean := p ~ '^[#0,.]+%?$';
    number double precision := CASE WHEN for_numbers THEN coalesce(num, jet_num(txt, NULL)) END;
    d date;
BEGIN
    IF num IS NULL AND txt IS NULL THEN
        RETURN NULL;
    ELSIF number IS NOT NULL AND right(p, 1) = '%' THEN
        RETURN jet_format_number(number * 100, left(p, -1)) || '%';
    ELSIF number IS NOT NULL THEN
        RETURN jet_format_number(number, p);
    ELSIF p <> '' AND NOT for_numbers THEN
        d := CASE WHEN num IS NOT NULL THEN jet_dateof(num, 'FORMAT') ELSE jet_date(left(btrim(txt, E' \t\r\n\f\v'), 10)) END;
        IF d IS NOT NULL THEN
            RETURN jet_format_date(d, p);
        END IF;
    END IF;
    RETURN coalesce(jet_str(num), txt);
END $$;
CREATE OR REPLACE FUNCTION jet_format(v double precision, pattern text) RETURNS text LANGUAGE sql IMMUTABLE AS $$
SELECT jet_format_value(v, NULL, pattern) $$;
CREATE OR REPLACE FUNCTION jet_format(v text, pattern text) RETURNS text LANGUAGE sql IMMUTABLE AS $$
SELECT jet_format_value(NULL, v, pattern) $$;
CREATE OR REPLACE FUNCTION jet_format(v double precision) RETURNS text
LANGUAGE sql IMMUTABLE AS $$ SELECT jet_format(v, '') $$;
CREATE OR REPLACE FUNCTION jet_format(v text) RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT jet_format(v, '') $$;

-- The functions above for arguments of the other types: for each function, the kind of each
-- argument (n a number, s text) and the name a type mismatch gives.
DO $$
DECLARE
    f record;
    choices text[];
    combination int;
    rest int;
    types text[];
    arguments text[];
    kind text;
    type text;
    converted boolean;
BEGIN
    FOR f IN SELECT * FROM (VALUES
        ('jet_left', 'sn', 'LEFT'), ('jet_right', 'sn', 'RIGHT'), ('jet_mid', 'sn', 'MID'), ('jet_mid', 'snn', 'MID'),
        ('jet_space', 'n', 'SPACE'), ('jet_ucase', 's', ''), ('jet_lcase', 's', ''), ('jet_len', 's', ''),
        ('jet_cstr', 's', ''), ('jet_trim', 's', ''), ('jet_ltrim', 's', ''), ('jet_rtrim', 's', ''),
        ('jet_cat', 'ss', ''), ('jet_like', 'ss', ''), ('jet_mul', 'nn', '*'), ('jet_neg', 'n', '-'),
        ('jet_div', 'nn', '/'), ('jet_idiv', 'nn', '\'), ('jet_mod', 'nn', 'Mod'), ('jet_pow', 'nn', '^'),
        ('jet_round', 'n', 'ROUND'), ('jet_round', 'nn', 'ROUND'), ('jet_int', 'n', 'INT'), ('jet_fix', 'n', 'FIX'),
        ('jet_cdbl', 'n', 'CDBL'), ('jet_cint', 'n', 'CINT'), ('jet_clng', 'n', 'CLNG'), ('jet_val', 's', ''))
        AS t(name, kinds, shown)
    LOOP
        -- Every combination of types but the one defined above.
        FOR combination IN 1 .. (3 ^ length(f.kinds))::int - 1 LOOP
            rest := combination;
            types := '{}';
            arguments := '{}';
            converted := true;
            FOR i IN 1 .. length(f.kinds) LOOP
                kind := substr(f.kinds, i, 1);
                choices := CASE kind WHEN 's' THEN '{text,double precision,bigint}'::text[]
                                     ELSE '{double precision,text}'::text[] END;
                converted := converted AND rest % 3 < array_length(choices, 1);
                type := choices[rest % 3 + 1];
                rest := rest / 3;
                types := types || type;
                arguments := arguments || CASE
                    WHEN kind = 's' AND type <> 'text' THEN format('jet_str($%s)', i)
                    WHEN kind = 'n' AND type = 'text' THEN format('jet_num($%s, %L)', i, f.shown)
                    ELSE format('$%s', i) END;
            END LOOP;
            CONTINUE WHEN NOT converted;
            -- A Null argument gives Null before any other is converted, but for &. What may stop
            -- the statement is STABLE, so that the server never runs it while planning.
            EXECUTE format('CREATE OR REPLACE FUNCTION %I(%s) RETURNS %s LANGUAGE sql %s AS %L', f.name,
                           array_to_string(types, ', '),
                           (SELECT pg_get_function_result(oid) FROM pg_proc WHERE proname = f.name
                            AND pronargs = length(f.kinds) LIMIT 1),
                           (SELECT CASE WHEN bool_or(provolatile <> 'i') OR array_to_string(arguments, ' ') LIKE '%jet_num%'
                                   THEN 'STABLE' ELSE 'IMMUTABLE' END
                            FROM pg_proc WHERE proname = f.name AND pronargs = length(f.kinds)),
                           format('SELECT CASE WHEN %s THEN %I(%s) END',
                                  CASE WHEN f.name = 'jet_cat' THEN 'true' ELSE
                                      (SELECT string_agg(format('$%s IS NOT NULL', i), ' AND ')
                                       FROM generate_series(1, length(f.kinds)) AS i) END,
                                  f.name, array_to_string(arguments, ', ')));
        END LOOP;
    END LOOP;
END $$;
