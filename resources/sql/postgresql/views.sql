-- The views behind the entities whose rows join several tables. Made again at every install, so that an
-- upgrade changes them; a view of the department's own that depends on one of them stops the install
-- with the server's message rather than being dropped silently.

-- The bodies are written once for both databases under sql/views/; each view lands in the schema searched
-- first while it is made.
SET LOCAL search_path = locavia;
--@include views/joined.sql
--@include views/inventory.sql
SET LOCAL search_path = solma;
--@include views/reference.sql
RESET search_path;
