-- Rights of the clients. Every write goes through the procedures, which run with the rights of the
-- schema's owner (SECURITY DEFINER): the group role of the clients reads the tables and calls the
-- procedures, and writes nothing directly. Each user's login role is made a member of the group (see
-- docs/server.md). The group is created here when the installing role may create roles.
DO $$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'locavia_utilisateurs') THEN
        BEGIN
            CREATE ROLE locavia_utilisateurs NOLOGIN;
        EXCEPTION
            WHEN insufficient_privilege THEN
                RAISE WARNING 'Le rôle locavia_utilisateurs n''existe pas et ce compte ne peut pas le créer : '
                              'les droits des utilisateurs ne sont pas donnés.';
                RETURN;
            WHEN duplicate_object OR unique_violation THEN
                NULL; -- made meanwhile by another installation on the same server
        END;
    END IF;
    GRANT USAGE ON SCHEMA locavia, solma TO locavia_utilisateurs;
    GRANT SELECT ON ALL TABLES IN SCHEMA locavia, solma TO locavia_utilisateurs;
    GRANT EXECUTE ON ALL FUNCTIONS IN SCHEMA locavia TO locavia_utilisateurs;
    -- Except the history's: attached to a table of a client's own, the trigger would write the history in
    -- anyone's name (history.sql).
    REVOKE EXECUTE ON FUNCTION locavia.historique(),
        locavia.historique_ecrire(integer, text, text, text, text, jsonb, jsonb, text[], boolean)
        FROM locavia_utilisateurs;
END
$$;
