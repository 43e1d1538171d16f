-- Run on every connection, once solma.db is attached as SOLMA.
--
-- A view stored in one SQLite file cannot read another file, so the views that join the inventory
-- (locavia.db) and the reference schema (SOLMA) are TEMP views, made again for each connection.

--@include views/joined.sql temporary

-- The triggers that write the change history, and the view they read.
--@include sqlite/history.sql
